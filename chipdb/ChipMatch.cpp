#include "chipdb/ChipMatch.h"

#include "chipdb/ChipKey.h"

#include <algorithm>

namespace {

constexpr int kClosestShown = 6;

int editDistance(const QString& a, const QString& b)
{
    std::vector<int> row(std::size_t(b.size()) + 1);
    for (std::size_t j = 0; j < row.size(); ++j)
        row[j] = int(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = int(i);
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const int above = row[std::size_t(j)];
            row[std::size_t(j)] = std::min({above + 1, row[std::size_t(j - 1)] + 1,
                                            diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row.back();
}

// The names wanted, lower case; empty parts match anything.
struct Wanted {
    QString type;
    QString manufacturer;
    QString model;
};

bool fits(const ChipNames& chip, const Wanted& w)
{
    const auto same = [](const QByteArray& have, const QString& want) {
        return want.isEmpty() || QString::fromUtf8(have).toLower() == want;
    };
    return same(chip.type, w.type) && same(chip.manufacturer, w.manufacturer) && same(chip.model, w.model);
}

std::vector<int> entriesFitting(const ChipTable& table, const Wanted& w)
{
    std::vector<int> found;
    for (int i = 0; i < ChipTable::kCapacity && !table[i].isEnd(); ++i)
        if (fits(chipNames(table[i].keyText()), w))
            found.push_back(i);
    return found;
}

QStringList closestModels(const ChipTable& table, const QString& model)
{
    struct Candidate {
        int score;
        QString name;
    };
    std::vector<Candidate> candidates;
    QStringList seen;
    for (int i = 0; i < ChipTable::kCapacity && !table[i].isEnd(); ++i) {
        const QString name = QString::fromUtf8(chipNames(table[i].keyText()).model);
        const QString lower = name.toLower();
        if (name.isEmpty() || seen.contains(lower))
            continue;
        seen << lower;
        // A model that holds the name (or is held by it) comes first.
        const bool holds = lower.contains(model) || model.contains(lower);
        const int distance = editDistance(lower, model);
        if (!holds && distance > std::max<qsizetype>(2, model.size() / 3))
            continue;
        candidates.push_back({holds ? int(std::abs(lower.size() - model.size())) : 100 + distance, name});
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) { return a.score < b.score; });
    QStringList names;
    for (std::size_t i = 0; i < candidates.size() && i < kClosestShown; ++i)
        names << candidates[i].name;
    return names;
}

} // namespace

ChipMatch matchChipName(const ChipTable& table, const QString& name)
{
    const QString text = name.trimmed().toLower();
    ChipMatch match;
    if (text.isEmpty())
        return match;
    Wanted wanted;
    if (text.contains(QLatin1Char(','))) {
        QStringList parts;
        for (const QByteArray& part : SplitChipKey(text.toUtf8()))
            parts << QString::fromUtf8(trimControl(part));
        if (parts.size() >= 3)
            wanted = {parts[0], parts[1], parts[2]};
        else
            wanted = {QString(), parts.value(0), parts.value(1)};
        match.entries = entriesFitting(table, wanted);
    } else {
        const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        wanted = words.size() > 1 ? Wanted{QString(), words.first(), words.mid(1).join(QLatin1Char(' '))}
                                  : Wanted{QString(), QString(), text};
        match.entries = entriesFitting(table, wanted);
        // A model whose name has a blank in it.
        if (match.entries.empty())
            match.entries = entriesFitting(table, {QString(), QString(), words.join(QLatin1Char(' '))});
    }
    if (match.entries.empty() && !wanted.model.isEmpty())
        match.closest = closestModels(table, wanted.model);
    return match;
}
