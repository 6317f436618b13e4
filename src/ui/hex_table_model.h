// A hex grid as a lazy table model: rows and cell texts come from the engine on demand, so a
// 4 MiB image costs nothing until it is scrolled into view.
#pragma once

#include <QAbstractTableModel>

#include "core/hex_views.h"
#include "core/station.h"

namespace dravon::ui {

class HexTableModel final : public QAbstractTableModel {
  Q_OBJECT

 public:
  HexTableModel(const Station& station, HexGrid grid, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Resets the view when the engine rebuilt or rewrote the grid since the last call.
  void Refresh();

 private:
  const HexView& View() const;

  const Station& station_;
  HexGrid grid_;
  uint64_t shownGeneration_ = 0;
  int shownRows_ = 0;
};

}  // namespace dravon::ui
