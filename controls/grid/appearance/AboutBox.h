#pragma once

#include <QDialog>

// The control's about box: its name, version and maker.
class AboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit AboutBox(QWidget *parent = nullptr);
};
