// Modal message boxes, all titled "Hertzwerk". Tests answer them from a script.
#pragma once

#include <string>

namespace hzwk {

inline constexpr const char kTitle[] = "Hertzwerk";

enum class Icon { None, Critical, Information, Warning };
// YesNoDefaultNo: Enter or a stray click answers No, for questions where Yes can do harm.
enum class Buttons { Ok, YesNo, YesNoDefaultNo };
enum class Answer { Ok, Yes, No };

class Prompt {
public:
    virtual ~Prompt() = default;
    virtual Answer Show(const std::string& text, Icon icon, Buttons buttons) = 0;
};

}  // namespace hzwk
