#pragma once

#include <memory>

#include "comlink/Engine.h"
#include "dialogs/ui/About.h"
#include "tune/Edition.h"

namespace dialogs {

// The program's one About box, built the first time the menu asks for it. Nothing of it shows
// before then, and it forgets the revision and asks afresh each time it opens, so a revision
// that arrives while there is no box has nowhere it could be seen.
class AboutBox {
public:
    AboutBox(tune::EditionInfo edition, comlink::Engine& engine);
    ~AboutBox();
    AboutBox(const AboutBox&) = delete;
    AboutBox& operator=(const AboutBox&) = delete;

    void Display();
    void SetRevNum(int revision);
    bool isVisible() const;
    // The box once built, else null.
    About* window() const { return box_.get(); }
    void unload();

private:
    tune::EditionInfo edition_;
    comlink::Engine& engine_;
    std::unique_ptr<About> box_;
};

}  // namespace dialogs
