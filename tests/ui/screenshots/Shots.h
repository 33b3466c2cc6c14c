#pragma once

#include <QString>
#include <functional>

class QWidget;

// What a screenshot function gets: where the example project is, and how to keep a picture.
class ShotContext {
public:
    explicit ShotContext(QString folder)
        : folder_(std::move(folder))
    {
    }
    // Lays `widget` out at its current size, paints it offscreen and writes <name>.png.
    void Save(QWidget& widget, const QString& name);
    QString ExampleProject() const { return QStringLiteral(QUORVEL_SOURCE_DIR "/examples/demo.qvl"); }
    int failed = 0;

private:
    QString folder_;
};

using ShotFunction = std::function<void(ShotContext&)>;

// Registers a screenshot function at start-up; they run in the order of their names.
struct ShotRegistrar {
    ShotRegistrar(const char* name, ShotFunction function);
};

#define QUORVEL_SHOT(name)                                                                                             \
    static void name(ShotContext&);                                                                                    \
    static const ShotRegistrar name##Registrar(#name, name);                                                           \
    static void name(ShotContext& shots)
