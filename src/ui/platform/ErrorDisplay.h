#pragma once

#include <QString>

#include <string>

class QWidget;

namespace tavlor::ui {

// The text shown for an error that ended a command: a full stop is added when
// the last character sorts after "." (so "... impossible" gets one, while a text
// ending in ".", ")" , "!" or a line break is left alone).
QString ErrorDisplayText(const std::string& message);

// The program's one top-level error display: an error box titled "Tavlor" with a
// single OK button. Every tavlor::Error that ends a command arrives here.
void ShowTopLevelError(QWidget* parent, const std::string& message);

}  // namespace tavlor::ui
