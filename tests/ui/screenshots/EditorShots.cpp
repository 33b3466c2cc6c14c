#include "screenshots/Shots.h"

#include "model/Quorvel.h"
#include "ui/editor/EventProps.h"

QUORVEL_SHOT(EditorPlaceholder)
{
    Quorvel event;
    EventProps editor(nullptr, event);
    editor.resize(760, 540);
    shots.Save(editor, QStringLiteral("editor"));
}
