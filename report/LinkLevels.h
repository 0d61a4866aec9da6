// Nesting levels of the link file's lines (the number of TABs before each).
#pragma once

namespace linklevel {

constexpr int kReport = 0;        // REPORT, the root
constexpr int kSection = 1;       // SYSTEM, BASIC, DATA
constexpr int kSectionValue = 2;  // the values of SYSTEM and BASIC
constexpr int kForm = 2;          // a form of DATA, KANPUH, KANPUK
constexpr int kFormValue = 3;     // the values of a form or refund-statement block

}  // namespace linklevel
