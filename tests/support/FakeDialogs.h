#pragma once

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "platform/Dialogs.h"

namespace support {

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
        if (answers.empty()) {
            return Answer::Ok;
        }
        Answer answer = answers.front();
        answers.pop_front();
        return answer;
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
        return next({false, filter, folder});
    }
    std::string saveFile(const std::string& filter, const std::string& folder) override {
        return next({true, filter, folder});
    }

private:
    std::string next(Request request) {
        requests.push_back(std::move(request));
        if (paths.empty()) {
            return {};
        }
        std::string path = paths.front();
        paths.pop_front();
        return path;
    }
};

}  // namespace support
