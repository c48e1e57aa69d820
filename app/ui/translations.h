// Qt's own texts (the buttons of message boxes, the file and folder
// choosers) in Japanese, from Qt's translations installed on the system.
#pragma once

namespace sorvix {

// Loads qtbase_ja into the application; false when the translation files
// are not installed (the standard dialogs then stay in English).
bool InstallQtTranslations();

}  // namespace sorvix
