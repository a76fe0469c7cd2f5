#include "plot/ui/Plot.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <cmath>

#include "plot/ui/PlotPicture.h"

namespace plot {

namespace {

int scaled(int twips, double logicalDpi) {
    return static_cast<int>(std::lround(twips * logicalDpi / 1440));
}

}  // namespace

Plot::Plot(const tune::Tune& tune, platform::SettingsStore& store, platform::ColorDialog& colors,
           QWidget* parent)
    : QWidget(parent, Qt::Window),
      store_(store),
      colors_(colors),
      logicalDpi_(screen()->logicalDotsPerInchX()),
      picture_(new PlotPicture(logicalDpi_, this)),
      timing_(tune, readPlotSettings(store),
              [this](const std::string& text) { return picture_->textWidth(text); }) {
    setObjectName("Plot");
    setWindowTitle("Ignition Timing Plot");
    setAttribute(Qt::WA_DeleteOnClose);
    const auto at = [this](int twips) { return scaled(twips, logicalDpi_); };
    setFixedSize(at(8295), at(5595));

    picture_->setObjectName("Picture1");
    picture_->move(at(120), at(120));

    auto* note = new QLabel("Note: Cranking Mode and Ported Vacuum  not shown.", this);
    note->setObjectName("Label1");
    note->setGeometry(at(120), at(5280), at(6135), note->sizeHint().height());

    auto* button = new QPushButton("Grid Color", this);
    button->setObjectName("cmdGridColor");
    button->setGeometry(at(6840), at(5160), at(1335), at(375));
    connect(button, &QPushButton::clicked, this, &Plot::cmdGridColor_Click);

    picture_->draw(timing_.load());
}

void Plot::cmdGridColor_Click() {
    picture_->draw(timing_.ChooseGridColor(colors_, store_));
}

}  // namespace plot
