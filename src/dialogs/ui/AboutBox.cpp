#include "dialogs/ui/AboutBox.h"

#include <utility>

namespace dialogs {

AboutBox::AboutBox(tune::EditionInfo edition, comlink::Engine& engine)
    : edition_(std::move(edition)), engine_(engine) {}

AboutBox::~AboutBox() = default;

void AboutBox::Display() {
    if (!box_)
        box_ = std::make_unique<About>(edition_, engine_);
    box_->Display();
}

void AboutBox::SetRevNum(int revision) {
    if (box_)
        box_->SetRevNum(revision);
}

bool AboutBox::isVisible() const {
    return box_ && box_->isVisible();
}

void AboutBox::unload() {
    box_.reset();
}

}  // namespace dialogs
