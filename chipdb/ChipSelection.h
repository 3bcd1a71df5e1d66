#pragma once
// Choosing the current chip through the three cascading lists (type,
// manufacturer, model), by names and by identifier.

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>

class ChipTable;
class UserInterface;
struct ChipEntry;

// What a chip becoming current changes beyond the lists; the object that
// composes the program's parts carries it out.
class ChipSelectionTarget {
public:
    virtual ~ChipSelectionTarget() = default;
    // The link sends this record at the set-up from now on.
    virtual void currentChipChanged(const ChipEntry& chip) = 0;
    // A choice from the lists picks the speed the chip's class usually runs at.
    virtual void speedChosen(int speedIndex) = 0;
    virtual void reloadFlashView(const ChipEntry& chip) = 0;
};

// Told when an entry becomes current and when the lists were rebuilt, so a
// window can show the chip and mirror the lists.
class ChipSelectionObserver {
public:
    virtual ~ChipSelectionObserver() = default;
    virtual void chipBecameCurrent(int tableIndex) = 0;
    // After every rebuild: the Flash view is to be reloaded and the three
    // lists shown at their positions.
    virtual void listsRebuilt() = 0;
};

class ChipSelection {
public:
    ChipSelection(const ChipTable& chips, ChipSelectionTarget& target, UserInterface& ui)
        : chips_(chips), target_(target), ui_(ui)
    {
    }

    const ChipTable& chips() const { return chips_; }
    // The current chip record: an entry of the table, the first until a choice.
    int currentChipIndex() const { return current_; }
    const ChipEntry& currentChip() const;
    // Only a choice moves the current chip; an index outside the table is ignored.
    void setCurrentChipIndex(int index);

    void setObserver(ChipSelectionObserver* observer) { observer_ = observer; }

    // ApplyChipSelection: rebuilds the manufacturer and model lists (the type
    // list only grows), makes the matching entry current and returns its
    // table position, or -1.
    int apply(int typePos, int manufacturerPos, int modelPos);

    // The list change handlers: a type choice takes the first manufacturer
    // and model, a manufacturer choice the first model.
    int typeChanged(int typePos);
    int manufacturerChanged(int manufacturerPos);
    int modelChanged(int modelPos);

    // Used by the chip search: three passes by names; the stored positions
    // stay as they were.
    void selectByNames(const QByteArray& type, const QByteArray& manufacturer, const QByteArray& model);
    // Used by identification; shows the information box or the unknown-ID
    // error. Returns whether the identifier was found.
    bool selectById(uint8_t b1, uint8_t b2, uint8_t b3, int classCode, uint8_t variantFlags);

    const QList<QByteArray>& types() const { return types_; }
    const QList<QByteArray>& manufacturers() const { return manufacturers_; }
    const QList<QByteArray>& models() const { return models_; }
    // Positions the lists show now (may lie outside the lists).
    int typePosition() const { return shown_[0]; }
    int manufacturerPosition() const { return shown_[1]; }
    int modelPosition() const { return shown_[2]; }
    // Text at a list position; empty where there is no item.
    static QByteArray textAt(const QList<QByteArray>& list, int pos);
    // Position of a text, ASCII case ignored; -1 when absent.
    static int positionOf(const QList<QByteArray>& list, const QByteArray& text);

    // The selection positions kept in the settings (INDEX1..INDEX3).
    int savedPosition(int which) const { return saved_[which]; }
    void setSavedPositions(int type, int manufacturer, int model);

private:
    const ChipTable& chips_;
    ChipSelectionTarget& target_;
    UserInterface& ui_;
    int current_ = 0;
    ChipSelectionObserver* observer_ = nullptr;
    QList<QByteArray> types_;
    QList<QByteArray> manufacturers_;
    QList<QByteArray> models_;
    int shown_[3] = {-1, -1, -1};
    int saved_[3] = {0, 0, 0};
};

// Capacity shown for a Flash size: whole MB above 1 MiB, whole KB above
// 1 KiB, else the bytes.
QString capacityText(uint32_t flashSize);
