#pragma once

// The rates the driver's BaudRate setting selects by code: code 10 is 2400
// baud, and each next code the next rate of the list.
namespace BaudRate {

inline constexpr int FirstCode = 10;
inline constexpr int Rates[] = {2400,  4800,  9600,   14400,  19200,  28800,
                                38400, 57600, 115200, 230400, 460800, 921600};
inline constexpr int DefaultCode = 18; // 115200 baud

inline constexpr bool isCode(int code)
{
    return code >= FirstCode && code < FirstCode + int(sizeof(Rates) / sizeof(Rates[0]));
}

inline constexpr int rateOfCode(int code)
{
    return isCode(code) ? Rates[code - FirstCode] : 0;
}

// The code of a rate of the list; 0 for another rate.
inline constexpr int codeOfRate(int rate)
{
    for (int code = FirstCode; isCode(code); ++code) {
        if (rateOfCode(code) == rate)
            return code;
    }
    return 0;
}

} // namespace BaudRate
