#pragma once

#include <QtGlobal>
#include <optional>
#include <vector>

namespace zev {

// Chooses the encoder's quality setting (x264's CRF, or another encoder's
// scale of the same kind: higher is coarser and smaller) for a size budget
// or a quality target, from trial encodes. The caller encodes at next(),
// records what came out, and asks again until next() is empty; chosen() is
// then the trial to keep.
//
// A budget is met by a file at most the budget and no more than 5 % under
// it; the search aims at 2.5 % under, guessing from the trials so far that
// the file shrinks by the same share for each step of the setting (about
// 11 % a CRF step for x264), which usually lands within three trials.
// When even the coarsest setting makes a larger file, nothing is chosen and
// closest() is that smallest file. When the finest setting fits, it is
// chosen however far under.
//
// A quality target is met by a trial whose figure (the lower of its mask
// and colour PSNR) reaches it; the search narrows down the coarsest such
// setting to within kQualityPrecision, guessing from the trials' figures.
// When even the finest setting misses, closest() is the best trial.
class RateSearch {
public:
    enum class Goal { Budget, Quality };

    // The encoder's scale: its finest and coarsest setting, the smallest
    // step it takes, and where the search starts.
    struct Scale {
        double finest = 0;
        double coarsest = 51;
        double step = 0.1;
        double start = 23;
    };

    struct Trial {
        double setting = 0;
        qint64 bytes = 0;
        // The quality figure, for a quality target; 0 for a budget.
        double quality = 0;
    };

    static constexpr double kBudgetWindow = 0.05;
    static constexpr double kQualityPrecision = 0.25;
    static constexpr int kMostTrials = 8;
    // Until two trials tell otherwise: what a step of x264's CRF does.
    static constexpr double kGuessedShrinkPerStep = 0.11;
    static constexpr double kGuessedDecibelsPerStep = 0.5;

    static RateSearch forBudget(qint64 bytes, Scale scale);
    static RateSearch forQuality(double decibels, Scale scale);

    Goal goal() const { return goal_; }
    qint64 budget() const { return budget_; }
    double target() const { return target_; }

    // The next setting to try; nothing once the search is over.
    std::optional<double> next() const;
    void record(const Trial& trial);

    // The trial that meets the goal best: for a budget the finest fitting
    // setting (within the window when there is one), for a target the
    // coarsest reaching it. Nothing when no trial meets the goal.
    std::optional<Trial> chosen() const;
    // When nothing meets the goal: the trial that came nearest (the smallest
    // file, the best figure).
    std::optional<Trial> closest() const;
    const std::vector<Trial>& trials() const { return trials_; }

private:
    RateSearch(Goal goal, Scale scale)
        : goal_(goal)
        , scale_(scale) {}

    bool meets(const Trial& trial) const;
    bool lastTwoAlike() const;
    bool settled() const;
    std::optional<double> nextForBudget() const;
    std::optional<double> nextForQuality() const;
    // The setting rounded to the scale's step and kept inside [low, high];
    // nothing when that range is empty or the setting was tried already.
    std::optional<double> untried(double setting, double low, double high) const;
    const Trial* finestMeeting() const;
    const Trial* coarsestMissing() const;
    const Trial* coarsestMeeting() const;
    const Trial* finestMissing() const;
    // Log-size or decibels per step between the two trials nearest setting;
    // the guess when fewer than two are known.
    double slope(double guessed, double (*figure)(const Trial&)) const;

    Goal goal_;
    Scale scale_;
    qint64 budget_ = 0;
    double target_ = 0;
    std::vector<Trial> trials_;
};

} // namespace zev
