#pragma once

#include <QIcon>

namespace tavlor::ui {

// The small images of the list dialogs' buttons, drawn by the program.
QIcon FilterIcon();
QIcon DatabaseIcon();
QIcon SearchIcon();

}  // namespace tavlor::ui
