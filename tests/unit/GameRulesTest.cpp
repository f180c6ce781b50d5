// Round table, zombie tuning, HUD decisions and the state machine's transition walk: the game's
// pure rules, checked without a scene.
#include "game/GameMenu.h"
#include "game/RoundRules.h"
#include "game/actors/State.h"
#include "game/actors/ZombieTuning.h"

#include <gtest/gtest.h>

#include <string>

TEST(RoundRules, ZombieCountGrowsByTwoAndStopsAtThePool)
{
    EXPECT_EQ(ZombiesForRound(1), 6u);
    EXPECT_EQ(ZombiesForRound(2), 8u);
    EXPECT_EQ(ZombiesForRound(9), 22u);
    EXPECT_EQ(ZombiesForRound(10), 24u);
    EXPECT_EQ(ZombiesForRound(11), 24u);
    EXPECT_EQ(ZombiesForRound(65535), 24u);
    // After the 16-bit counter wraps.
    EXPECT_EQ(ZombiesForRound(0), 4u);
}

TEST(RoundRules, DifficultyAndSpawnIntervalPerRound)
{
    struct Row {
        uint16_t round;
        uint8_t difficulty;
        float interval;
    };
    const Row rows[] = {{0, 0, 4.4f}, {1, 0, 4.4f},  {2, 1, 4.0f},  {3, 2, 3.0f},    {5, 2, 3.0f},
                        {6, 3, 2.8f}, {10, 3, 2.8f}, {11, 4, 2.4f}, {65535, 4, 2.4f}};
    for (const Row& row : rows) {
        const RoundSettings settings = SettingsForRound(row.round);
        EXPECT_EQ(settings.difficulty, row.difficulty) << "round " << row.round;
        EXPECT_FLOAT_EQ(settings.spawnInterval, row.interval) << "round " << row.round;
    }
}

TEST(ZombieTuning, TableRowsAndClampAboveTheLastRow)
{
    const ZombieTuning easy = TuningForDifficulty(0);
    EXPECT_FLOAT_EQ(easy.moveFactor, 0.25f);
    EXPECT_FLOAT_EQ(easy.walkAnimSpeed, 1.3f);
    EXPECT_FLOAT_EQ(easy.attackAnimSpeed, 1.0f);
    EXPECT_FLOAT_EQ(easy.attackRange, 2.0f);
    const ZombieTuning mid = TuningForDifficulty(2);
    EXPECT_FLOAT_EQ(mid.moveFactor, 1.0f);
    EXPECT_FLOAT_EQ(mid.attackRange, 2.3f);
    const ZombieTuning hard = TuningForDifficulty(4);
    EXPECT_FLOAT_EQ(hard.moveFactor, 3.0f);
    EXPECT_FLOAT_EQ(hard.walkAnimSpeed, 1.8f);
    EXPECT_FLOAT_EQ(hard.attackRange, 2.0f);
    EXPECT_FLOAT_EQ(TuningForDifficulty(200).moveFactor, 3.0f);
}

TEST(GameMenu, DamageBorderThickensAsHealthFalls)
{
    EXPECT_FLOAT_EQ(DamageBorderThickness(75.0f), 12.5f);
    EXPECT_FLOAT_EQ(DamageBorderThickness(1.0f), 49.5f);
    EXPECT_EQ(DamageBorderThickness(100.0f), 0.0f);
    EXPECT_EQ(DamageBorderThickness(0.0f), 0.0f);
    EXPECT_EQ(DamageBorderThickness(-20.0f), 0.0f);
}

TEST(GameMenu, GameOverMenuWaitsForSixWholeSeconds)
{
    EXPECT_FALSE(GameOverMenuDue(0.0f));
    EXPECT_FALSE(GameOverMenuDue(5.0f)); // 5.9 s truncates to 5
    EXPECT_TRUE(GameOverMenuDue(6.0f));
}

TEST(GameMenu, PauseMenuListsResumeFirstGameOverMenuRestartFirst)
{
    const MenuButtons pause = GameMenuButtons(true);
    ASSERT_EQ(pause.count, 4u);
    EXPECT_STREQ(pause.buttons[0].label, "Resume");
    EXPECT_EQ(pause.buttons[0].action, MenuAction::Resume);
    EXPECT_STREQ(pause.buttons[1].label, "Options");
    EXPECT_EQ(pause.buttons[1].action, MenuAction::Options);
    EXPECT_STREQ(pause.buttons[2].label, "Restart");
    EXPECT_STREQ(pause.buttons[3].label, "Exit");
    EXPECT_EQ(pause.buttons[3].action, MenuAction::Exit);
    EXPECT_EQ(GameMenuButtonIndex(true, "Exit"), 3);
    EXPECT_EQ(GameMenuButtonIndex(false, "Exit"), 1);
    EXPECT_EQ(GameMenuButtonIndex(false, "Options"), -1) << "the dead have no options menu";

    const MenuButtons over = GameMenuButtons(false);
    ASSERT_EQ(over.count, 2u);
    EXPECT_STREQ(over.buttons[0].label, "Restart");
    EXPECT_EQ(over.buttons[0].action, MenuAction::Restart);
    EXPECT_STREQ(over.buttons[1].label, "Exit");
}

TEST(StateMachine, FirstMatchingTransitionWinsInInsertionOrder)
{
    State from(0), a(1), b(2);
    bool goA = false, goB = false;
    from.AddTransition(
        "ToA", [&] { return goA; }, &a);
    from.AddTransition(
        "ToB", [&] { return goB; }, &b);

    EXPECT_EQ(from.NextState(), nullptr);
    goB = true;
    EXPECT_EQ(from.NextState(), &b);
    goA = true;
    EXPECT_EQ(from.NextState(), &a);
    ASSERT_EQ(from.transitions.size(), 2u);
    EXPECT_EQ(std::string(from.transitions[0].name), "ToA");
    EXPECT_TRUE(from.transitions[0].expected);
}

TEST(StateMachine, EmptyConditionIsAnError)
{
    State from(0), to(1);
    from.AddTransition("Broken", nullptr, &to);
    EXPECT_THROW(from.NextState(), std::bad_function_call);
}
