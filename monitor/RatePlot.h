// A small plot of reads a second over the last minute: a bar a whole second,
// the newest at the right, scaled to the busiest second shown.
#pragma once

#include <QWidget>

#include <cstdint>
#include <vector>

class RatePlot : public QWidget {
    Q_OBJECT
public:
    explicit RatePlot(QWidget* parent = nullptr);

    // The reads of each second, oldest first (ReadRate::lastMinute()).
    void showSeconds(std::vector<uint64_t> seconds);

    QSize sizeHint() const override { return {260, 110}; }
    QSize minimumSizeHint() const override { return {160, 80}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<uint64_t> seconds_;
};
