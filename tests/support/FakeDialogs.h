#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/Dialogs.h"

namespace support {

// The front of a test's script, taken off it; `fallback` once the script ran out.
template <typename T>
T nextOf(std::deque<T>& script, T fallback) {
    T next = script.empty() ? fallback : script.front();
    if (!script.empty())
        script.pop_front();
    return next;
}

// Records every message box and answers from a script; an empty script answers Ok.
class FakeMessageBox : public platform::MessageBox {
public:
    struct Shown {
        std::string text;
        std::string title;
        Icon icon;
        Buttons buttons;
    };

    std::vector<Shown> shown;
    std::deque<Answer> answers;

    Answer show(const std::string& text, const std::string& title, Icon icon,
                Buttons buttons = Buttons::Ok) override {
        shown.push_back({text, title, icon, buttons});
        return nextOf(answers, Answer::Ok);
    }

    const Shown& last() const { return shown.back(); }
};

// Returns scripted paths in order (empty = the user cancelled) and records each request.
class FakeFileDialog : public platform::FileDialog {
public:
    struct Request {
        bool save;
        std::string filter;
        std::string folder;
    };

    std::deque<std::string> paths;
    std::vector<Request> requests;

    std::string openFile(const std::string& filter, const std::string& folder) override {
        requests.push_back({false, filter, folder});
        return nextOf(paths, std::string());
    }
    std::string saveFile(const std::string& filter, const std::string& folder) override {
        requests.push_back({true, filter, folder});
        return nextOf(paths, std::string());
    }
};

}  // namespace support
