#include "showing.h"

#include "local_clock.h"

namespace pravik::schedule {

QList<const Rule *> rulesFor(const Schedule &schedule, const QString &board)
{
    QList<const Rule *> rules;
    for (const Rule &rule : schedule.rules) {
        if (rule.appliesTo(board))
            rules << &rule;
    }
    return rules;
}

Showing showingAt(const QList<const Rule *> &boardRules, LocalMinute at)
{
    const Rule *fallback = nullptr; // the last default
    const Rule *fileWindow = nullptr;
    const Rule *window = nullptr;
    for (const Rule *rule : boardRules) {
        if (rule->kind == RuleKind::Default) {
            fallback = rule;
        } else if (rule->inForce(at)) {
            window = rule;
            if (!rule->range)
                fileWindow = rule;
        }
    }
    // A range window narrows the file the board shows beneath it.
    const Rule *file = fileWindow ? fileWindow : fallback;
    if (window && window->range)
        return Showing{file ? file->file : QString(), window->range, window->line};
    if (window)
        return Showing{window->file, std::nullopt, window->line};
    return fallback ? Showing{fallback->file, std::nullopt, fallback->line} : Showing{};
}

Showing showingAt(const Schedule &schedule, const QString &board, const QTimeZone &zone,
                  const QDateTime &instant)
{
    LocalClock clock(zone);
    return showingAt(rulesFor(schedule, board), clock.at(instant.toMSecsSinceEpoch()));
}

} // namespace pravik::schedule
