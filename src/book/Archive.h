#pragma once
// The archive: the edit panel's button that archives the shown parcel or
// brings it back, and the settings' switch that archives parcels a week
// after they were signed for. An archived parcel leaves the list and the
// rounds; a search still finds it.
#include "store/Records.h"

#include <QObject>
#include <optional>

class Form1;
class QCheckBox;
class QPushButton;

class Archive : public QObject {
public:
    explicit Archive(Form1 &window);

    // The button and the switch, once the edit panel is made.
    void buildControls();
    // Archives parcels signed for a week, when the user turned that on.
    void autoArchive();
    // The button's caption for the shown parcel's row (none: not archived).
    void showShelfOf(const std::optional<BookRow> &row);

private:
    void toggle();

    Form1 &window;
    QPushButton *archiveButton = nullptr; // 归档 / 取消归档
    QCheckBox *autoArchiveBox = nullptr;
};
