#pragma once
// Puts a script of draws in the random generator's place: each Random(range)
// answers the next value, and a draw the script did not expect fails the test.

#include "support/Random.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

class ScriptedRandom {
public:
    explicit ScriptedRandom(std::vector<int> draws = {})
    {
        Script() = std::deque<int>(draws.begin(), draws.end());
        Ranges().clear();
        SetRandomSource(Next);
    }
    ~ScriptedRandom() { SetRandomSource(nullptr); }
    ScriptedRandom(const ScriptedRandom&) = delete;
    ScriptedRandom& operator=(const ScriptedRandom&) = delete;

    bool Used() const { return Script().empty(); }
    // The ranges asked for, in order.
    static const std::vector<int>& Asked() { return Ranges(); }

private:
    static std::deque<int>& Script()
    {
        static std::deque<int> script;
        return script;
    }
    static std::vector<int>& Ranges()
    {
        static std::vector<int> ranges;
        return ranges;
    }
    static int Next(int range)
    {
        Ranges().push_back(range);
        if (Script().empty()) {
            ADD_FAILURE() << "unscripted draw Random(" << range << ")";
            return 0;
        }
        const int value = Script().front();
        Script().pop_front();
        EXPECT_LT(value, range) << "scripted draw outside Random(" << range << ")";
        return value;
    }
};
