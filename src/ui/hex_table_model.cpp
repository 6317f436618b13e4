#include "ui/hex_table_model.h"

#include "ui/qt_host.h"

namespace dravon::ui {

HexTableModel::HexTableModel(const Station& station, HexGrid grid, QObject* parent)
    : QAbstractTableModel(parent), station_(station), grid_(grid) {
  shownGeneration_ = View().generation;
  shownRows_ = View().rows;
}

const HexView& HexTableModel::View() const {
  return grid_ == HexGrid::MainFlash ? station_.mainView : station_.eepView;
}

int HexTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shownRows_;
}

int HexTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kHexColumns;
}

QVariant HexTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::DisplayRole) {
    return ToQt(HexCellText(station_, grid_, index.row(), index.column()));
  }
  if (role == Qt::TextAlignmentRole) {
    return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
  }
  return {};
}

QVariant HexTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
  return ToQt(HexHeaderText(section));
}

void HexTableModel::Refresh() {
  const HexView& v = View();
  if (v.generation == shownGeneration_) return;
  beginResetModel();
  shownGeneration_ = v.generation;
  shownRows_ = v.rows;
  endResetModel();
}

}  // namespace dravon::ui
