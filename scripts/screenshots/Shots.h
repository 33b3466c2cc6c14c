#pragma once

#include <QString>

class QWidget;

// What a screenshot function gets: how to keep a picture.
struct ShotContext {
    // Lays `widget` out at its current size, lets its pages read their files, paints it offscreen
    // and writes <name>.png into `folder`.
    void Save(QWidget& widget, const QString& name);
    QString folder;
    int failed = 0;
};

// The pictures of each part of the window, in their own files. ViewerShots shows the project in
// g_runner after its run, so MainShots calls it while the run's files are there.
void EditorShots(ShotContext& shots);
void MainShots(ShotContext& shots);
void ViewerShots(ShotContext& shots);
