#include "TrafficRun.h"

#include "TrafficModel.h"

namespace telvorn::test {

std::vector<Heard> RunTraffic(std::uint64_t seed, int aircraft, double seconds, double rate)
{
    board::TrafficModel model(seed, aircraft);
    const board::GeoPoint station = board::BoardState{}.station();
    std::vector<Heard> heard;
    while (model.now() < seconds) {
        if (auto message = model.next(station))
            heard.push_back({std::move(*message), model.now()});
        model.advance(1.0 / rate);
    }
    return heard;
}

std::string_view Body(std::string_view line)
{
    const std::size_t end = line.find(';');
    return end == std::string_view::npos ? line : line.substr(0, end);
}

std::vector<std::string> RecordFields(std::string_view line)
{
    std::vector<std::string> fields;
    const std::string_view body = Body(line).substr(1);
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = body.find(',', start);
        fields.emplace_back(body.substr(start, comma - start));
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    return fields;
}

} // namespace telvorn::test
