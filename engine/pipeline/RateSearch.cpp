#include "pipeline/RateSearch.h"

#include <algorithm>
#include <cmath>

namespace zev {

namespace {

double logBytes(const RateSearch::Trial& trial) {
    return std::log(double(std::max<qint64>(trial.bytes, 1)));
}

double quality(const RateSearch::Trial& trial) {
    return trial.quality;
}

} // namespace

RateSearch RateSearch::forBudget(qint64 bytes, Scale scale) {
    RateSearch search(Goal::Budget, scale);
    search.budget_ = bytes;
    return search;
}

RateSearch RateSearch::forQuality(double decibels, Scale scale) {
    RateSearch search(Goal::Quality, scale);
    search.target_ = decibels;
    return search;
}

void RateSearch::record(const Trial& trial) {
    trials_.push_back(trial);
}

bool RateSearch::meets(const Trial& trial) const {
    return goal_ == Goal::Budget ? trial.bytes <= budget_ : trial.quality >= target_;
}

// The trials that meet the goal lie at the coarse end for a target and at
// the fine end for a budget; the four lookups below find the boundary.
const RateSearch::Trial* RateSearch::finestMeeting() const {
    const Trial* found = nullptr;
    for (const Trial& trial : trials_)
        if (meets(trial) && (!found || trial.setting < found->setting))
            found = &trial;
    return found;
}

const RateSearch::Trial* RateSearch::coarsestMeeting() const {
    const Trial* found = nullptr;
    for (const Trial& trial : trials_)
        if (meets(trial) && (!found || trial.setting > found->setting))
            found = &trial;
    return found;
}

const RateSearch::Trial* RateSearch::finestMissing() const {
    const Trial* found = nullptr;
    for (const Trial& trial : trials_)
        if (!meets(trial) && (!found || trial.setting < found->setting))
            found = &trial;
    return found;
}

const RateSearch::Trial* RateSearch::coarsestMissing() const {
    const Trial* found = nullptr;
    for (const Trial& trial : trials_)
        if (!meets(trial) && (!found || trial.setting > found->setting))
            found = &trial;
    return found;
}

double RateSearch::slope(double guessed, double (*figure)(const Trial&)) const {
    // The last two trials at different settings: nearest to where the
    // search now is.
    for (auto later = trials_.rbegin(); later != trials_.rend(); ++later) {
        for (auto earlier = later + 1; earlier != trials_.rend(); ++earlier) {
            const double run = later->setting - earlier->setting;
            if (std::abs(run) < scale_.step / 2)
                continue;
            const double measured = (figure(*earlier) - figure(*later)) / run;
            // A flat or backward step says nothing about the next one.
            return measured > 0 ? std::clamp(measured, guessed / 4, guessed * 4) : guessed;
        }
    }
    return guessed;
}

// Guessing from a straight line between the two ends of a bracket creeps
// up on a bent curve from one side; after two guesses on the same side, the
// middle halves the bracket instead.
bool RateSearch::lastTwoAlike() const {
    const qsizetype count = qsizetype(trials_.size());
    return count >= 3 && meets(trials_[size_t(count - 1)]) == meets(trials_[size_t(count - 2)]);
}

std::optional<double> RateSearch::untried(double setting, double low, double high) const {
    const double step = scale_.step;
    const auto onScale = [&](double value) {
        return scale_.finest + std::round((value - scale_.finest) / step) * step;
    };
    low = std::max(low, scale_.finest);
    high = std::min(high, scale_.coarsest);
    const double lowest = scale_.finest + std::ceil((low - scale_.finest) / step - 1e-9) * step;
    const double highest = scale_.finest + std::floor((high - scale_.finest) / step + 1e-9) * step;
    if (lowest > highest + 1e-9)
        return std::nullopt;
    const double wanted = std::clamp(onScale(setting), lowest, highest);
    const auto tried = [&](double value) {
        return std::any_of(trials_.begin(), trials_.end(),
                           [&](const Trial& trial) { return std::abs(trial.setting - value) < step / 2; });
    };
    if (!tried(wanted))
        return wanted;
    for (double offset = step; offset <= highest - lowest + 1e-9; offset += step) {
        if (wanted + offset <= highest + 1e-9 && !tried(wanted + offset))
            return wanted + offset;
        if (wanted - offset >= lowest - 1e-9 && !tried(wanted - offset))
            return wanted - offset;
    }
    return std::nullopt;
}

bool RateSearch::settled() const {
    if (trials_.empty())
        return false;
    if (int(trials_.size()) >= kMostTrials)
        return true;
    const double edge = scale_.step / 2;
    if (goal_ == Goal::Budget) {
        const qint64 floor = qint64(std::ceil(double(budget_) * (1.0 - kBudgetWindow)));
        for (const Trial& trial : trials_) {
            if (trial.bytes <= budget_ && trial.bytes >= floor)
                return true;
            if (trial.bytes <= budget_ && trial.setting <= scale_.finest + edge)
                return true;
            if (trial.bytes > budget_ && trial.setting >= scale_.coarsest - edge)
                return true;
        }
    } else {
        for (const Trial& trial : trials_) {
            if (meets(trial) && trial.setting >= scale_.coarsest - edge)
                return true;
            if (!meets(trial) && trial.setting <= scale_.finest + edge)
                return true;
        }
    }
    return false;
}

std::optional<double> RateSearch::next() const {
    if (trials_.empty())
        return untried(scale_.start, scale_.finest, scale_.coarsest);
    if (settled())
        return std::nullopt;
    return goal_ == Goal::Budget ? nextForBudget() : nextForQuality();
}

std::optional<double> RateSearch::nextForBudget() const {
    const double aim = std::log(double(budget_) * (1.0 - kBudgetWindow / 2));
    const Trial* tooBig = coarsestMissing();
    const Trial* fits = finestMeeting();
    const double step = scale_.step;
    if (tooBig && fits) {
        if (fits->setting < tooBig->setting)
            return std::nullopt; // the sizes do not fall with the setting: keep what fits
        const double share =
            lastTwoAlike() ? 0.5 : (logBytes(*tooBig) - aim) / (logBytes(*tooBig) - logBytes(*fits));
        return untried(tooBig->setting + share * (fits->setting - tooBig->setting), tooBig->setting + step,
                       fits->setting - step);
    }
    // The file shrinks as the setting grows: log-bytes fall per step.
    const double shrink = slope(kGuessedShrinkPerStep, logBytes);
    if (tooBig)
        return untried(tooBig->setting + (logBytes(*tooBig) - aim) / shrink, tooBig->setting + step,
                       scale_.coarsest);
    return untried(fits->setting - (aim - logBytes(*fits)) / shrink, scale_.finest, fits->setting - step);
}

std::optional<double> RateSearch::nextForQuality() const {
    const Trial* good = coarsestMeeting();
    const Trial* bad = finestMissing();
    const double precision = std::max(scale_.step, kQualityPrecision);
    if (good && bad) {
        const double width = bad->setting - good->setting;
        if (width <= precision + 1e-9)
            return std::nullopt;
        if (width <= 2 * precision)
            return untried((good->setting + bad->setting) / 2, good->setting + scale_.step,
                           bad->setting - scale_.step);
        const double share =
            lastTwoAlike() ? 0.5 : (good->quality - target_) / (good->quality - bad->quality);
        return untried(good->setting + share * width, good->setting + precision, bad->setting - precision);
    }
    const double fall = slope(kGuessedDecibelsPerStep, quality);
    if (good)
        return untried(std::max(good->setting + (good->quality - target_) / fall, good->setting + precision),
                       good->setting + scale_.step, scale_.coarsest);
    return untried(std::min(bad->setting - (target_ - bad->quality) / fall, bad->setting - precision),
                   scale_.finest, bad->setting - scale_.step);
}

std::optional<RateSearch::Trial> RateSearch::chosen() const {
    const Trial* best = nullptr;
    for (const Trial& trial : trials_) {
        if (!meets(trial))
            continue;
        // A budget keeps the largest file that fits; a target the smallest
        // file that reaches it.
        if (!best || (goal_ == Goal::Budget ? trial.bytes > best->bytes : trial.bytes < best->bytes))
            best = &trial;
    }
    return best ? std::optional<Trial>(*best) : std::nullopt;
}

std::optional<RateSearch::Trial> RateSearch::closest() const {
    const Trial* nearest = nullptr;
    for (const Trial& trial : trials_)
        if (!nearest ||
            (goal_ == Goal::Budget ? trial.bytes < nearest->bytes : trial.quality > nearest->quality))
            nearest = &trial;
    return nearest ? std::optional<Trial>(*nearest) : std::nullopt;
}

} // namespace zev
