#include "dialogs/message_box_width.h"

#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace tardigo {

namespace {
constexpr int kReadingWidthInCharacters = 60;
} // namespace

void giveReadingWidth(QMessageBox& box) {
    // The box lays itself out in a grid; a spacer across its bottom row sets the smallest width.
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    const int width = box.fontMetrics().averageCharWidth() * kReadingWidthInCharacters;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

} // namespace tardigo
