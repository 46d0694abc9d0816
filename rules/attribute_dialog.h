#pragma once

#include <QDialog>
#include <QGroupBox>

struct AppSettings;
class QCheckBox;
class RuleWindow;

// The frame "属性" with the read-only, hidden and system boxes chkR, chkH
// and chkS. subject begins each box's tooltip: what the box does it to.
class AttributeBoxes final : public QGroupBox
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AttributeBoxes)

public:
    AttributeBoxes(const QString &objectName, const QString &subject, QWidget *parent);

    // The checked boxes as attribute bits: 1 read-only, 2 hidden, 4 system.
    int Bits() const;
    void SetBits(int bits);

private:
    QCheckBox *m_boxes[3];
};

// frmAtt: the read-only, hidden and system attributes for every row of the
// list. It always opens with all three unchecked; OK keeps the choice in
// AttributeChoice.
class AttributeDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AttributeDialog)

public:
    explicit AttributeDialog(AppSettings &settings, QWidget *parent = nullptr);

private:
    AppSettings &m_settings;
    AttributeBoxes *m_fraAtt;
};

// IDATT: the attribute dialog, then every row's attribute text.
void ExeAtt(RuleWindow &window);
