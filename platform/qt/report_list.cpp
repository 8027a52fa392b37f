// Report-style list views, on a QTableWidget: headed columns and rows of text.
#include <QHeaderView>
#include <QScrollBar>
#include <QTableWidget>

#include "platform/qt/control.h"

namespace afx {
namespace {

// Selecting a row makes it visible by scrolling up or down only: the columns stay where they
// are, so the first column is never cut off by a click.
class ReportTable : public QTableWidget {
  public:
    using QTableWidget::QTableWidget;
    void scrollTo(const QModelIndex& index, ScrollHint hint) override {
        const int column = horizontalScrollBar()->value();
        QTableWidget::scrollTo(index, hint);
        horizontalScrollBar()->setValue(column);
    }
};

// ListColumn::format and ControlState::listExStyle.
constexpr int kFormatRight = 1, kFormatCentre = 2;
constexpr uint32_t kGridLines = 0x01, kFullRowSelect = 0x20;

Qt::Alignment CellAlignment(int format) {
    if (format == kFormatRight) return Qt::AlignRight | Qt::AlignVCenter;
    if (format == kFormatCentre) return Qt::AlignCenter;
    return Qt::AlignLeft | Qt::AlignVCenter;
}

class ReportList : public ControlView {
  public:
    explicit ReportList(QTableWidget* table) : ControlView(table), table_(table) {}

    void SyncText(const ControlState&) override {}

    void SyncState(const ControlState& state) override {
        const std::vector<ListColumn>& columns = state.columns;
        table_->setColumnCount(static_cast<int>(columns.size()));
        QStringList headings;
        for (const ListColumn& col : columns) headings << Q(col.heading);
        table_->setHorizontalHeaderLabels(headings);
        for (size_t i = 0; i < columns.size(); ++i)
            if (columns[i].width >= 0)
                table_->setColumnWidth(static_cast<int>(i), columns[i].width);
        table_->setShowGrid((state.listExStyle & kGridLines) != 0);
        table_->setSelectionBehavior((state.listExStyle & kFullRowSelect)
                                         ? QAbstractItemView::SelectRows
                                         : QAbstractItemView::SelectItems);
        table_->setRowCount(static_cast<int>(state.rows.size()));
        for (size_t r = 0; r < state.rows.size(); ++r) {
            const std::vector<std::string>& row = state.rows[r];
            for (size_t col = 0; col < columns.size(); ++col) {
                const std::string cell = col < row.size() ? row[col] : std::string();
                QTableWidgetItem* item = table_->item(static_cast<int>(r), static_cast<int>(col));
                if (!item) {
                    item = new QTableWidgetItem();
                    table_->setItem(static_cast<int>(r), static_cast<int>(col), item);
                }
                item->setText(Q(cell));
                item->setTextAlignment(CellAlignment(columns[col].format));
            }
        }
    }

  private:
    QTableWidget* table_;
};

}  // namespace

std::unique_ptr<ControlView> CreateReportList(QtWindow*, const ControlParams&, QWidget* parent) {
    auto* table = new ReportTable(parent);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    table->horizontalHeader()->setHighlightSections(false);
    table->verticalHeader()->setDefaultSectionSize(14);
    return std::make_unique<ReportList>(table);
}

}  // namespace afx
