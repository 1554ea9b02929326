#pragma once
// What a tracking service itself says of a parcel, where it says anything.
// The classic service gives no state (None): there the words of the events
// decide, as they always have. A service that gives one is believed over
// the words.
enum class ServiceState {
    None,           // the service gave no state
    NoTrace,        // known to the service, no event yet
    InTransit,      // picked up or under way
    OutForDelivery, // with the courier for delivery
    AtStation,      // waiting at a station or in a locker for pickup
    Signed,         // delivered and signed for
    Problem,        // refused, returned, stuck, damaged, lost, undeliverable
};
