#pragma once
// The captions of menus and the hints of tool buttons in the catalogue's language, set on the widgets
// that exist. Each action carries its command number (QAction::data); the captions and hints it was
// built with are kept on it the first time and stand wherever the catalogue has no text.

#include <QToolBar>
#include <QWidget>

namespace tav {

class Catalogue;

// Every caption of the menu tree under menu (a menu bar or a menu), with the command number before it
// when showNumbers.
void TranslateMenu(const Catalogue& cat, QWidget* menu, bool showNumbers);
// The hints of the tool bar's buttons (separators have none).
void TranslateHints(const Catalogue& cat, QToolBar* bar);

}  // namespace tav
