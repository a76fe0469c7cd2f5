#pragma once

#include <QWidget>

namespace dialogs {

// The About box's small fixed picture: an ignition coil with a spark, drawn in a 100 x 100
// space scaled to the widget so it stays crisp at any size.
class SparkPicture : public QWidget {
public:
    explicit SparkPicture(QWidget* parent = nullptr) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace dialogs
