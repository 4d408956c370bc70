#pragma once

#include "LoadProgress.h"

#include <QElapsedTimer>
#include <QWidget>

#include <initializer_list>

class QLabel;
class QProgressBar;

// The loading window: the current stage and its item, each with a bar. Every operation
// shows its change at once. While the load sequence runs it is reachable program-wide.
// A doubled "&" in a text shows as one.
class TFormLoading : public QWidget, public LoadProgress {
    Q_OBJECT
public:
    explicit TFormLoading(QWidget* parent = nullptr);

    void SetOverallMax(int n) override;
    void SetPartMax(int n) override;
    void StepOverall() override;
    void StepPart() override;
    void SetCurrentText(std::string_view text) override;
    void SetPartText(std::string_view text) override;
    void ResetPart() override;
    void ResetOverall() override;

    // Off: operations repaint this window only, without running other pending events (used
    // while a frame of the 3D view is being drawn). On by default.
    void SetProcessEvents(bool on);

    QLabel* LblCurrent = nullptr;
    QLabel* LblPart = nullptr;
    QProgressBar* LoadingProgress = nullptr;
    QProgressBar* PartProgress = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Lets the change just made reach the screen before the caller goes on.
    // Shows the change at once. A change within a stage (`Part`) is shown at most every few
    // milliseconds: loading steps tens of thousands of items, and painting each step would
    // cost more than the loading itself.
    enum class ChangeKind { Stage, Part };
    void showChange(std::initializer_list<QWidget*> changed, ChangeKind kind = ChangeKind::Stage);

    bool m_processEvents = true;
    QElapsedTimer m_sinceShown;
};

// The loading window of the running load sequence, or null.
TFormLoading* loadingWindow();
void setLoadingWindow(TFormLoading* window);
