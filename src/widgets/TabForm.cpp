#include "widgets/TabForm.h"

#include <QTabWidget>
#include <algorithm>

void TabForm::addRecordGrid(RecordGrid grid) {
  kept_.push_back(grid.list);
  grids_.push_back(std::move(grid));
}

const TabForm::RecordGrid* TabForm::gridOf(pw::PlugSection section) const {
  const auto at = std::find_if(grids_.begin(), grids_.end(),
                               [section](const RecordGrid& g) { return g.section == section; });
  return at == grids_.end() ? nullptr : &*at;
}

bool TabForm::shows(pw::PlugSection section) const {
  return gridOf(section) || std::find(settings_.begin(), settings_.end(), section) != settings_.end();
}

std::optional<QRect> TabForm::showRecord(pw::PlugSection section, int number) {
  const RecordGrid* grid = gridOf(section);
  if (!grid) return std::nullopt;
  const int row = grid->rowOf ? grid->rowOf(number) : number - 1;
  if (row < 0 || row >= grid->list->model()->rowCount()) return std::nullopt;
  if (grid->page && pages_) pages_->setCurrentWidget(grid->page);
  const QRect cell = grid->list->showRow(row);
  return QRect(grid->list->view()->viewport()->mapTo(this, cell.topLeft()), cell.size());
}

TabForm::Place TabForm::place() const {
  Place place;
  for (const ListEditor* list : kept_) place.grids.push_back(list->place());
  place.page = pages_ ? pages_->currentIndex() : -1;
  return place;
}

void TabForm::returnTo(const Place& place) {
  if (pages_ && place.page >= 0) pages_->setCurrentIndex(place.page);
  for (std::size_t i = 0; i < kept_.size() && i < place.grids.size(); ++i) kept_[i]->returnTo(place.grids[i]);
}
