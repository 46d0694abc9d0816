#include "widgets/keys.h"

#include <QEvent>
#include <QKeyEvent>
#include <QObject>
#include <QWidget>

namespace {

class ListKeysFilter final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::ShortcutOverride) {
            auto *key = static_cast<QKeyEvent *>(event);
            const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
            const bool opensOrMoves = ((key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) &&
                                       (modifiers == Qt::NoModifier || modifiers == Qt::AltModifier)) ||
                                      (key->key() == Qt::Key_F4 && modifiers == Qt::NoModifier);
            // Accepted, the key goes to the box as a key press instead.
            if (opensOrMoves) {
                key->accept();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

QString WithShortcut(const QString &tooltip, const QKeySequence &key)
{
    if (key.isEmpty())
        return tooltip;
    return tooltip + u'（' + key.toString(QKeySequence::NativeText) + u'）';
}

void KeepListKeys(QWidget *comboBox)
{
    comboBox->installEventFilter(new ListKeysFilter(comboBox));
}
