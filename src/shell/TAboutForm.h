#pragma once
// The about box: "关于" + the product title, a picture, the version, "确定".

#include <QDialog>

class QLabel;
class QPushButton;

class TAboutForm : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutForm(QWidget *parent = nullptr);

    QLabel *LabPicture = nullptr;
    QLabel *LabVersion = nullptr;
    QPushButton *BtnOk = nullptr;
};
