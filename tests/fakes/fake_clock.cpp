#include "tests/fakes/fake_clock.h"

namespace tesuko {

LocalTime FakeClock::localTime(std::chrono::system_clock::time_point point) {
    using namespace std::chrono;
    auto local = floor<seconds>(point) + offset_;
    auto days = floor<std::chrono::days>(local);
    year_month_day date{days};
    hh_mm_ss time{local - days};
    return LocalTime{
        int(date.year()),          int(unsigned(date.month())), int(unsigned(date.day())),
        int(time.hours().count()), int(time.minutes().count()), int(time.seconds().count())};
}

}  // namespace tesuko
