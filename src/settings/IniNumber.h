// SPDX-License-Identifier: MIT
#pragma once

#include <QStringView>
#include <optional>

namespace logwarden::settings::modIniFile {

// A value line that reads as a number: blanks around it, an optional sign, decimal digits and an
// optional fraction, which rounds half to even. None when the line is anything else or the
// rounded number does not fit 16 bits.
std::optional<short> iniNumber(QStringView text);

} // namespace logwarden::settings::modIniFile
