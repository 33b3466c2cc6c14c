#pragma once

#include <QString>

class QWidget;

// What a screenshot function gets: how to keep a picture.
class ShotContext {
public:
    explicit ShotContext(QString folder)
        : folder_(std::move(folder))
    {
    }
    // Lays `widget` out at its current size, lets its pages read their files, paints it offscreen
    // and writes <name>.png.
    void Save(QWidget& widget, const QString& name);
    int failed = 0;

private:
    QString folder_;
};

// The pictures of each part of the window, in their own files. ViewerShots shows the project in
// g_runner after its run, so MainShots calls it while the run's files are there.
void EditorShots(ShotContext& shots);
void MainShots(ShotContext& shots);
void ViewerShots(ShotContext& shots);
