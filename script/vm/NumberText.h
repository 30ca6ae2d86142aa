// How numbers print: always with a decimal point, whatever the process locale.
#pragma once

#include <cstdint>
#include <string>

namespace zeb::script::vm {

struct NumberText
{
    static std::string integer(std::int32_t value);
    // Six significant digits, as "%g" in the C locale; "inf", "-inf" and "nan" for the others.
    static std::string number(double value);
    // Six decimals, as "%lf" in the C locale; "inf", "-inf" and "nan" for the others.
    static std::string fixed(double value);
};

} // namespace zeb::script::vm
