#include "app/controls.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QPainter>
#include <QRadioButton>
#include <algorithm>

namespace itn {

TRadioGroup::TRadioGroup(const QString& Title, const QStringList& Items, int Columns, QWidget* Parent)
    : QGroupBox(Title, Parent), FButtons(new QButtonGroup(this)) {
    auto* layout = new QGridLayout(this);
    layout->setVerticalSpacing(2);
    Columns = std::max(1, Columns);
    for (int i = 0; i < Items.size(); ++i) {
        auto* button = new QRadioButton(Items[i], this);
        FButtons->addButton(button, i);
        layout->addWidget(button, i / Columns, i % Columns);
    }
}

int TRadioGroup::Count() const { return FButtons->buttons().size(); }

int TRadioGroup::ItemIndex() const { return FButtons->checkedId(); }

void TRadioGroup::SetItemIndex(int Index) {
    if (Count() == 0) return;
    if (Index < -1) Index = -1;
    if (Index >= Count()) Index = Count() - 1;
    if (Index == -1) {
        // An exclusive group never unchecks its last checked button by itself.
        FButtons->setExclusive(false);
        for (QAbstractButton* button : FButtons->buttons()) button->setChecked(false);
        FButtons->setExclusive(true);
    } else {
        FButtons->button(Index)->setChecked(true);
    }
}

QRadioButton* TRadioGroup::Item(int Index) const {
    return qobject_cast<QRadioButton*>(FButtons->button(Index));
}

QSize TPathLabel::minimumSizeHint() const { return QSize(0, QLabel::minimumSizeHint().height()); }

void TPathLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width());
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, shown);
}

}  // namespace itn
