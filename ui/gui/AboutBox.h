#pragma once

#include <QDialog>

// The About box: the program's icon, name, version and the place of its preference store.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);
};
