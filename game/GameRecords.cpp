#include "game/GameRecords.h"

#include <string>

std::string BestRoundNote(const GameRecords& records)
{
    if (records.bestRound == 0)
        return {};
    std::string note = "Best round: " + std::to_string(records.bestRound);
    std::tm local{};
    char date[16];
    if (records.bestRoundAt != 0 && localtime_r(&records.bestRoundAt, &local) &&
        std::strftime(date, sizeof date, "%Y-%m-%d", &local) > 0)
        note += std::string(" (reached ") + date + ")";
    return note;
}
