#pragma once

class QCoreApplication;

namespace tavlor::ui {

// The program speaks French whatever the machine's locale: French is the
// default locale (dates, month and day names, numbers in Qt's widgets) and
// Qt's own texts (the buttons of the boxes, the file dialogs) come from its
// French translations. Answers false when those translations are missing.
bool UseFrench(QCoreApplication& app);

}  // namespace tavlor::ui
