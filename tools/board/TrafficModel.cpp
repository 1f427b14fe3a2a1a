#include "TrafficModel.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace telvorn::board {

namespace {

constexpr double kRad = 3.14159265358979323846 / 180.0;
constexpr double kDamagedShare = 0.03;
constexpr double kMeanArrivalDelay = 30.0; // seconds between one aircraft leaving and the next arriving

double BearingToReceiver(const Aircraft& a)
{
    return NormalizeDegrees(std::atan2(-a.east, -a.north) / kRad);
}

double TurnTowards(double from, double to, double maxStep)
{
    double diff = NormalizeDegrees(to - from);
    if (diff > 180.0)
        diff -= 360.0;
    return NormalizeDegrees(from + std::clamp(diff, -maxStep, maxStep));
}

double Approach(double value, double target, double maxStep)
{
    return value + std::clamp(target - value, -maxStep, maxStep);
}

bool CarriesAcas(const Aircraft& a)
{
    return a.kind == AircraftKind::Regional || a.kind == AircraftKind::Airliner || a.kind == AircraftKind::Heavy ||
           a.kind == AircraftKind::Military;
}

} // namespace

TrafficModel::TrafficModel(std::uint64_t seed, int aircraftCount, double rangeNm)
    : rng_(seed), factory_(rangeNm), rangeNm_(rangeNm)
{
    for (int i = 0; i < aircraftCount; ++i)
        spawn(true);
}

std::optional<Message> TrafficModel::next(GeoPoint station)
{
    if (!pending_.empty()) {
        Message alert = pending_.front();
        pending_.pop_front();
        return alert;
    }
    if (fleet_.empty())
        return std::nullopt;
    Aircraft& a = fleet_[rng_.below(std::uint32_t(fleet_.size()))];

    if (a.squitterFormat != 18 && rng_.chance(kDamagedShare)) {
        // Only frames with a plain parity field show a failed check; damage to
        // a reply with address parity reads as another address.
        const MessageType type = a.squitterFormat == 17 ? MessageType::Identification : MessageType::AllCall;
        return MessageBuilder::Damage(MessageBuilder::Build(type, a, station), rng_);
    }
    const MessageType type = chooseType(a);
    Message message = MessageBuilder::Build(type, a, station);
    const bool squawkAlert = (type == MessageType::IdentityReply || type == MessageType::CommBIdentity) &&
                             (a.squawk == 7500 || a.squawk == 7600 || a.squawk == 7700);
    if (squawkAlert)
        pending_.push_back(MessageBuilder::Alert(a, 'S'));
    else if (type == MessageType::EmergencyStatus)
        pending_.push_back(MessageBuilder::Alert(a, 'M'));
    return message;
}

MessageType TrafficModel::chooseType(const Aircraft& a)
{
    using T = MessageType;
    static constexpr std::array kTypes{T::Identification, T::AirbornePosition, T::SurfacePosition, T::Velocity,
                                       T::EmergencyStatus, T::OperationalStatus, T::AllCall, T::AltitudeReply,
                                       T::IdentityReply, T::CommBAltitude, T::CommBIdentity, T::AcasShort,
                                       T::AcasLong};
    // Shares as a ground station hears them: squitters dominate, then the
    // replies to radar interrogations.
    std::array<double, kTypes.size()> w{};
    const bool squitters = a.squitterFormat != 0;
    const bool emergencyStatus = a.emergency != Emergency::None;
    if (a.squitterFormat == 18) {
        w = {25, 0, 60, 0, 0, 15, 0, 0, 0, 0, 0, 0, 0};
    } else if (a.onGround) {
        w = {squitters ? 10.0 : 0.0, 0, squitters ? 30.0 : 0.0, 0, 0, squitters ? 5.0 : 0.0, 15, 6, 6, 3, 3, 0, 0};
    } else if (squitters) {
        w = {5, 26, 0, 22, emergencyStatus ? 4.0 : 0.0, 5, 9, 7, 5, 6, 4, 0, 0};
    } else {
        w = {0, 0, 0, 0, 0, 0, 25, 25, 18, 12, 8, 0, 0};
    }
    if (!a.onGround && CarriesAcas(a)) {
        w[11] = 4;
        w[12] = 1;
    }
    return kTypes[rng_.weighted(w)];
}

void TrafficModel::advance(double seconds)
{
    now_ += seconds;
    for (Aircraft& a : fleet_) {
        steer(a);
        integrate(a, seconds);
    }
    const auto gone =
        std::remove_if(fleet_.begin(), fleet_.end(), [this](const Aircraft& a) { return !stillHeard(a); });
    for (auto it = gone; it != fleet_.end(); ++it)
        arrivals_.push_back(now_ + rng_.exponential(kMeanArrivalDelay));
    fleet_.erase(gone, fleet_.end());
    std::sort(arrivals_.begin(), arrivals_.end());
    while (!arrivals_.empty() && arrivals_.front() <= now_) {
        arrivals_.erase(arrivals_.begin());
        spawn(false);
    }
}

bool TrafficModel::stillHeard(const Aircraft& a) const
{
    return now_ < a.signalLost && std::hypot(a.east, a.north) <= rangeNm_;
}

void TrafficModel::spawn(bool initial)
{
    const auto taken = [this](std::uint32_t address) {
        return std::any_of(fleet_.begin(), fleet_.end(), [address](const Aircraft& a) { return a.address == address; });
    };
    fleet_.push_back(factory_.create(rng_, now_, initial, taken));
}

void TrafficModel::steer(Aircraft& a)
{
    const double distance = std::hypot(a.east, a.north);
    const bool manoeuvre = now_ >= a.nextManoeuvre;
    switch (a.plan) {
    case FlightPlan::Overfly:
    case FlightPlan::Local:
        if (manoeuvre) {
            const bool local = a.plan == FlightPlan::Local;
            const double turn = local ? 120.0 : 40.0;
            a.targetHeading = NormalizeDegrees(a.targetHeading + rng_.uniform(-turn, turn));
            if (rng_.chance(0.3)) {
                const double step = local ? 500.0 : 2000.0;
                a.targetAltitude =
                    std::clamp(a.cruiseAltitude + step * rng_.between(-2, 2), local ? 500.0 : 6000.0, 41000.0);
            }
            a.nextManoeuvre = now_ + rng_.exponential(local ? 120.0 : 300.0);
        }
        if (a.plan == FlightPlan::Local && distance > 60.0)
            a.targetHeading = BearingToReceiver(a);
        break;
    case FlightPlan::Arrive:
        a.targetHeading = BearingToReceiver(a);
        a.targetAltitude = std::min(a.cruiseAltitude, distance * 300.0);
        a.targetSpeed = std::min(a.cruiseSpeed, distance < 12.0 ? 140.0 : distance < 40.0 ? 250.0 : 280.0);
        if (distance < 1.5 && a.altitude < 600.0) {
            a.plan = FlightPlan::TaxiIn;
            a.onGround = true;
            a.altitude = 0.0;
            a.verticalRate = 0.0;
            a.targetSpeed = 15.0;
            a.phaseEnds = now_ + rng_.uniform(90.0, 300.0);
        }
        break;
    case FlightPlan::Taxi:
    case FlightPlan::TaxiIn:
    case FlightPlan::Surface:
        if (manoeuvre) {
            a.targetHeading = distance > 1.2 ? BearingToReceiver(a) : rng_.uniform(0.0, 360.0);
            if (a.plan == FlightPlan::Surface)
                a.targetSpeed = rng_.uniform(0.0, a.cruiseSpeed);
            a.nextManoeuvre = now_ + rng_.exponential(45.0);
        }
        if (a.plan == FlightPlan::Taxi && now_ >= a.phaseEnds) {
            a.plan = FlightPlan::Depart;
            a.targetHeading = rng_.uniform(0.0, 360.0);
            a.heading = a.targetHeading; // lined up on the runway
            a.targetSpeed = a.cruiseSpeed;
        }
        if (a.plan == FlightPlan::TaxiIn && now_ >= a.phaseEnds)
            a.signalLost = now_; // parked, transponder off
        break;
    case FlightPlan::Depart:
        if (a.onGround && a.speed >= std::min(140.0, 0.7 * a.cruiseSpeed)) {
            a.onGround = false;
            a.targetAltitude = a.cruiseAltitude;
        }
        if (!a.onGround && distance > 30.0 && std::fabs(a.altitude - a.cruiseAltitude) < 100.0)
            a.plan = FlightPlan::Overfly;
        break;
    }
}

void TrafficModel::integrate(Aircraft& a, double dt) const
{
    const bool nimble = a.kind == AircraftKind::Light || a.kind == AircraftKind::Rotorcraft;
    const double turnRate = a.onGround ? 10.0 : nimble ? 5.0 : 3.0; // degrees per second
    a.heading = TurnTowards(a.heading, a.targetHeading, turnRate * dt);
    a.speed = std::max(0.0, Approach(a.speed, a.targetSpeed, (a.onGround ? 4.0 : 2.0) * dt));
    if (a.onGround) {
        a.altitude = 0.0;
        a.verticalRate = 0.0;
    } else {
        // Level off smoothly: the rate shrinks with the height still to go.
        const double wanted = std::clamp((a.targetAltitude - a.altitude) * 4.0, -a.descentRate, a.climbRate);
        a.verticalRate = Approach(a.verticalRate, wanted, 600.0 * dt);
        a.altitude = std::max(0.0, a.altitude + a.verticalRate * dt / 60.0);
    }
    const double travelled = a.speed * dt / 3600.0;
    a.east += travelled * std::sin(a.heading * kRad);
    a.north += travelled * std::cos(a.heading * kRad);
}

} // namespace telvorn::board
