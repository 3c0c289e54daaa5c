#include "gui/translate.h"

#include <QAction>
#include <QMenu>
#include <QVariant>

#include "env/catalogue.h"
#include "gui/qt_text.h"

namespace tav {

namespace {

constexpr const char* kDesignCaption = "tavDesignCaption";
constexpr const char* kDesignHint = "tavDesignHint";

// The text an action was built with, kept on it the first time.
QString design(QAction* a, const char* key, const QString& now) {
    const QVariant kept = a->property(key);
    if (kept.isValid()) return kept.toString();
    a->setProperty(key, now);
    return now;
}

}  // namespace

void TranslateMenu(const Catalogue& cat, QWidget* menu, bool showNumbers) {
    // Depth first, in the order of the tree.
    for (QAction* a : menu->actions()) {
        if (a->isSeparator()) continue;
        const QString caption = design(a, kDesignCaption, a->text());
        const std::int64_t number = a->data().toLongLong();
        a->setText(qs(menuCaption(cat, number, caption.toStdString(), showNumbers)));
        if (QMenu* sub = a->menu()) TranslateMenu(cat, sub, showNumbers);
    }
}

void TranslateHints(const Catalogue& cat, QToolBar* bar) {
    for (QAction* a : bar->actions()) {
        if (a->isSeparator()) continue;
        const QString hint = design(a, kDesignHint, a->toolTip());
        const std::string text = cat.GetHintText(a->data().toLongLong());
        a->setToolTip(text.empty() ? hint : qs(text));
    }
}

}  // namespace tav
