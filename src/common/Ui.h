// How the core talks to the person in front of it. The desktop program
// answers with real message boxes, zelk-cli with its fixed answers, tests
// with a script; the core never knows which.
#pragma once

#include <string>

namespace zelk {

enum class Icon { None, Information, Exclamation, Critical };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

class Prompter {
public:
    virtual ~Prompter() = default;
    // text and title are Windows-1252 with CR LF line breaks.
    virtual Answer Ask(const std::string& text, const std::string& title, Icon icon,
                       Buttons buttons, Answer defaultButton) = 0;

    Answer Ask(const std::string& text, const std::string& title, Icon icon, Buttons buttons) {
        return Ask(text, title, icon, buttons, DefaultFor(buttons));
    }
    void Message(const std::string& text, const std::string& title, Icon icon) {
        Ask(text, title, icon, Buttons::Ok, Answer::Ok);
    }
    static Answer DefaultFor(Buttons b) {
        return b == Buttons::YesNo || b == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
    }
};

}  // namespace zelk
