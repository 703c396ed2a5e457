#pragma once
// Every action of the viewer as one row: what it runs and when it is enabled
// and checked. Windows connect their actions to it in one loop; each part of
// the program adds its rows here instead of branches in a window. The tool
// box's controls are rows too, run with their argument.
#include "common/Commands.h"

#include <QString>
#include <array>
#include <functional>

class CommandTable
{
public:
    using Run = std::function<void()>;
    using Test = std::function<bool()>;
    using RunWith = std::function<void(const ControlArg &)>;

    struct Row {
        Run run;                          // empty: the action does nothing yet
        Test enabled;                     // empty: enabled exactly when it has something to run
        Test checked;                     // empty: not a check-mark action
        std::function<QString()> caption; // empty: the caption never changes
        std::function<QString()> tip;     // what the status bar says about it; empty: nothing
    };

    void set(ActionId id, Run run, Test enabled, Test checked = {}, std::function<QString()> caption = {})
    {
        rows_[size_t(id)] =
            Row{std::move(run), std::move(enabled), std::move(checked), std::move(caption), {}};
    }
    void setTip(ActionId id, std::function<QString()> tip) { rows_[size_t(id)].tip = std::move(tip); }
    // Replaces only what runs (windows add the rows that open dialogs).
    void setRun(ActionId id, Run run) { rows_[size_t(id)].run = std::move(run); }

    void setControl(ControlId id, RunWith run) { controls_[size_t(id)] = std::move(run); }
    void run(ControlId id, const ControlArg &arg = {}) const
    {
        if (controls_[size_t(id)])
            controls_[size_t(id)](arg);
    }

    void run(ActionId id) const
    {
        if (isEnabled(id) && rows_[size_t(id)].run)
            rows_[size_t(id)].run();
    }
    bool isEnabled(ActionId id) const
    {
        const Row &r = rows_[size_t(id)];
        return r.enabled ? bool(r.run) && r.enabled() : bool(r.run);
    }
    // The caption the action shows now; empty when it keeps its own.
    QString caption(ActionId id) const
    {
        const Row &r = rows_[size_t(id)];
        return r.caption ? r.caption() : QString();
    }
    QString tip(ActionId id) const
    {
        const Row &r = rows_[size_t(id)];
        return r.tip ? r.tip() : QString();
    }
    bool isChecked(ActionId id) const
    {
        const Row &r = rows_[size_t(id)];
        return r.checked && r.checked();
    }

private:
    std::array<Row, size_t(ActionId::Count)> rows_{};
    std::array<RunWith, size_t(ControlId::Count)> controls_{};
};
