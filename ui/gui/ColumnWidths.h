#pragma once

#include <QObject>
#include <QTimer>
#include <initializer_list>
#include <vector>

class QAbstractItemView;
class QHeaderView;
class QWidget;

// The column widths of a list. A width that the user set is kept in the preference store (one
// integer key per leading column, in order); a column whose key holds its default, or that has no
// key, follows its content: as wide as its title and the rows in view need, growing as rows come.
// The last column takes what is left, and the others give way when the view is narrower than
// they are together, so that a width chosen in a wide window never makes a narrow one scroll
// sideways; they take their widths back when the view grows again.
class ColumnWidths : public QObject {
    Q_OBJECT
public:
    // Takes care of the columns of `view`, whose horizontal header is `header`; owned by the
    // header. The view's model must be set.
    static ColumnWidths* Attach(QAbstractItemView& view, QHeaderView& header, std::initializer_list<const char*> keys);

    // Keeps the widths that the user set under their keys (the store itself is saved by the caller).
    void Store() const;
    // Widens the columns that follow their content to what the rows in view need now (the
    // attached lists do it by themselves shortly after their rows change).
    void FitContent();
    // The width each leading column asks for: set by the user, or by its content.
    const std::vector<int>& Wanted() const { return wanted_; }

    // The widths of `wanted` within `available` pixels: when they are wider together, the widest
    // give way first, each down to an equal cap but not below its floor (nor above what it asked
    // for). When even the floors are too wide, they are the answer, and the view scrolls.
    static std::vector<int> Fit(const std::vector<int>& wanted, const std::vector<int>& floors, int available);

private:
    ColumnWidths(QAbstractItemView& view, QHeaderView& header, std::initializer_list<const char*> keys);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void Restore();
    void Apply();
    void Resync();
    void OnSectionResized(int column, int oldSize, int newSize);
    int Last() const;
    int ContentWidth(int column) const;

    QAbstractItemView& view_;
    QHeaderView& header_;
    // The view's viewport, whose resizes the columns follow. Kept, not asked of the view: the
    // viewport still has events while the view is being destroyed, when the view is no longer one.
    QWidget* viewport_;
    std::vector<const char*> keys_;
    std::vector<int> wanted_; // one per column before the last
    std::vector<bool> byContent_; // beside wanted_
    std::vector<int> floors_; // beside wanted_: how far each gives way
    bool applying_ = false; // the sections change because of this class, not the user
    QTimer contentTimer_;
};
