#pragma once
// Rows that line up on their first text baselines. Qt's layouts align boxes, not baselines, so a
// kit view that shows text says where its first baseline is, and BaselineRow lays children out so
// that all first baselines meet. Main thread only.

#include <QLayout>
#include <QList>

class QWidget;

namespace corbel {

class FirstBaselineView {
public:
    virtual ~FirstBaselineView() = default;
    // The distance from the widget's top to its first baseline when laid out at `width`.
    virtual qreal firstBaseline(int width) const = 0;
};

// The first baseline of any widget: its own answer, else the baseline of a line of its font
// centred in `height`.
qreal firstBaselineOf(const QWidget& widget, int width, int height);

// A row with explicit spacing and no margins unless its owner sets them as padding. Each widget takes its
// preferred width; a widget that wraps (it answers heightForWidth) narrows to what is left. A stretch takes
// the rest, so whatever follows it sits at the trailing edge.
class BaselineRow : public QLayout {
public:
    explicit BaselineRow(qreal spacing, QWidget* parent = nullptr);
    ~BaselineRow() override;

    void addStretch();

    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    void setGeometry(const QRect& rect) override;
    Qt::Orientations expandingDirections() const override;

    // The row's own first baseline at `width`.
    qreal firstBaseline(int width) const;

private:
    struct Placement {
        QRect rect;
        bool present = false;
    };
    QList<Placement> place(int width, qreal* baseline = nullptr, int* height = nullptr) const;

    QList<QLayoutItem*> items_;
    qreal rowSpacing_;
};

} // namespace corbel
