#pragma once

#include <QComboBox>

// The "COM Port" drop-down list: a plain list that says when it is about to
// open, so its items can show where each name leads at that moment.
class TPortList : public QComboBox {
    Q_OBJECT

public:
    using QComboBox::QComboBox;

    void showPopup() override;

signals:
    void aboutToShowPopup();
};
