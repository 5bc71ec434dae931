#pragma once

#include <QString>
#include <optional>
#include <utility>
#include <variant>

class QFileDevice;

// The error numbers shown in the "Error#N" boxes: the one table of them. The description beside
// a number is the operating system's or Qt's own text.
namespace ErrorNumber {
constexpr int Overflow = 6;            // a file too long for a 32-bit byte index
constexpr int SubscriptOutOfRange = 9; // an empty file to send, a program over 2048 lines
constexpr int FileNotFound = 53;
constexpr int DeviceIo = 57;
constexpr int PermissionDenied = 70;
constexpr int PathAccess = 75;
constexpr int InvalidSetting = 380;
constexpr int InvalidPortNumber = 8002;
constexpr int PortOpen = 8005;
constexpr int PortUnavailable = 8012;
constexpr int AddressInUse = 10048;
} // namespace ErrorNumber

// Why an operation failed, as the error box shows it.
struct Failure {
    int number = 0;
    QString description;

    bool operator==(const Failure&) const = default;
};

// The failure of a file operation, from the file's own error state.
Failure fileFailure(const QFileDevice& file);

// A value, or the failure that kept it from being made.
template <class T> class Expected {
public:
    Expected(T value) : v_(std::move(value)) {}
    Expected(Failure failure) : v_(std::move(failure)) {}

    bool ok() const { return v_.index() == 0; }
    explicit operator bool() const { return ok(); }
    const T& value() const { return std::get<0>(v_); }
    T& value() { return std::get<0>(v_); }
    const T& operator*() const { return value(); }
    const T* operator->() const { return &value(); }
    const Failure& failure() const { return std::get<1>(v_); }
    // The failure as an optional, for callers that only pass it on.
    std::optional<Failure> error() const {
        return ok() ? std::nullopt : std::optional<Failure>(failure());
    }

private:
    std::variant<T, Failure> v_;
};
