#include "chipdb/ChipSelection.h"

#include "app/UserInterface.h"
#include "chipdb/ChipKey.h"
#include "chipdb/ChipTable.h"

namespace {

bool present(const QList<QByteArray>& list, const QByteArray& text)
{
    return ChipSelection::positionOf(list, text) >= 0;
}

// A position without an item chooses nothing, not the empty name: otherwise
// an entry whose type or manufacturer is empty would answer to any position
// past the list.
bool itemIs(const QList<QByteArray>& list, int pos, const QByteArray& text)
{
    return pos >= 0 && pos < list.size() && list[pos] == text;
}

} // namespace

QByteArray ChipSelection::textAt(const QList<QByteArray>& list, int pos)
{
    return (pos >= 0 && pos < list.size()) ? list[pos] : QByteArray();
}

int ChipSelection::positionOf(const QList<QByteArray>& list, const QByteArray& text)
{
    for (int i = 0; i < list.size(); ++i)
        if (list[i].compare(text, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

const ChipEntry& ChipSelection::currentChip() const
{
    return chips_[current_];
}

void ChipSelection::setCurrentChipIndex(int index)
{
    if (index < 0 || index >= ChipTable::kCapacity)
        return;
    current_ = index;
    target_.currentChipChanged(chips_[current_]);
}

void ChipSelection::setSavedPositions(int type, int manufacturer, int model)
{
    saved_[0] = type;
    saved_[1] = manufacturer;
    saved_[2] = model;
}

int ChipSelection::apply(int t, int m, int n)
{
    manufacturers_.clear();
    models_.clear();
    int result = -1;
    int modelCounter = 0;
    const ChipTable& table = chips_;
    for (int i = 0; i < ChipTable::kCapacity && !table[i].isEnd(); ++i) {
        const ChipNames names = chipNames(table[i].keyText());
        if (!present(types_, names.type))
            types_.append(names.type);
        if (!itemIs(types_, t, names.type))
            continue;
        if (!names.manufacturer.isEmpty() && !present(manufacturers_, names.manufacturer))
            manufacturers_.append(names.manufacturer);
        if (itemIs(manufacturers_, m, names.manufacturer) && !names.model.isEmpty()
            && !present(models_, names.model)) {
            models_.append(names.model);
            if (modelCounter == n) {
                setCurrentChipIndex(i);
                result = i;
                // Selecting a chip picks the speed its class usually runs at.
                target_.speedChosen(table[i].chipClass == kClassSpiFlash ? 0 : 2);
                if (observer_)
                    observer_->chipBecameCurrent(i);
            }
            ++modelCounter;
        }
    }
    target_.reloadFlashView(currentChip());
    shown_[0] = t;
    shown_[1] = m;
    shown_[2] = n;
    if (observer_)
        observer_->listsRebuilt();
    return result;
}

int ChipSelection::typeChanged(int typePos)
{
    setSavedPositions(typePos, 0, 0);
    return apply(typePos, 0, 0);
}

int ChipSelection::manufacturerChanged(int manufacturerPos)
{
    setSavedPositions(shown_[0], manufacturerPos, 0);
    return apply(shown_[0], manufacturerPos, 0);
}

int ChipSelection::modelChanged(int modelPos)
{
    setSavedPositions(shown_[0], shown_[1], modelPos);
    return apply(shown_[0], shown_[1], modelPos);
}

void ChipSelection::selectByNames(const QByteArray& type, const QByteArray& manufacturer, const QByteArray& model)
{
    for (int pass = 0; pass < 3; ++pass)
        apply(positionOf(types_, type), positionOf(manufacturers_, manufacturer), positionOf(models_, model));
}

bool ChipSelection::selectById(uint8_t b1, uint8_t b2, uint8_t b3, int classCode, uint8_t variantFlags)
{
    UserInterface& ui = ui_;
    const int32_t id = (int32_t(b1) << 16) | (int32_t(b2) << 8) | b3;
    int found = -1;
    const ChipTable& table = chips_;
    for (int i = 0; id != 0 && i < ChipTable::kCapacity && !table[i].isEnd(); ++i) {
        if (table[i].chipId() == id) {
            found = i;
            break;
        }
    }
    if (found < 0) {
        apply(classCode, 0, 0);
        ui.showError(ui.message(Msg::UnknownChipId) + QString::asprintf("%2.2X %2.2X %2.2X", b1, b2, b3)
                     + ui.message(Msg::ChooseCompatibleType));
        return false;
    }
    const ChipNames names = chipNames(table[found].keyText());
    // The type list exists only after a first selection; build it if none ran.
    if (!present(types_, names.type))
        apply(saved_[0], saved_[1], saved_[2]);
    const int t = positionOf(types_, names.type);
    saved_[0] = t;
    apply(saved_[0], saved_[1], saved_[2]);
    saved_[1] = positionOf(manufacturers_, names.manufacturer);
    apply(saved_[0], saved_[1], saved_[2]);
    int n = positionOf(models_, names.model);
    if ((variantFlags & 1) == 0 && t > 0)
        ++n;
    saved_[2] = n;
    apply(saved_[0], saved_[1], saved_[2]);
    ui.showInformation(ui.message(Msg::ChipWasDetected) + QString::fromUtf8(textAt(models_, shown_[2]))
                       + ui.message(Msg::ChipType) + QString::fromUtf8(textAt(types_, shown_[0])));
    return true;
}

QString capacityText(uint32_t size)
{
    if (size > 1048576)
        return QString::number(size / 1048576) + QStringLiteral("MB");
    if (size > 1024)
        return QString::number(size / 1024) + QStringLiteral("KB");
    return QString::number(size);
}
