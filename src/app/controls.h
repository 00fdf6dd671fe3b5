// Two small controls of the window: a radio group with an item index, and a label that
// shows a long path shortened in the middle while its text stays the whole path.
#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace itn {

class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    // Items in Columns columns, filled row by row.
    TRadioGroup(const QString& Title, const QStringList& Items, int Columns, QWidget* Parent = nullptr);

    int Count() const;
    // The checked item, or -1 when none is.
    int ItemIndex() const;
    // Below -1 becomes -1 (no item checked); at or beyond Count the last item.
    void SetItemIndex(int Index);
    QRadioButton* Item(int Index) const;

private:
    QButtonGroup* FButtons;
};

class TPathLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* Event) override;
};

}  // namespace itn
