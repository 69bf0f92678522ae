#include "bookings/bookings_file.h"

#include "base/file.h"
#include "base/io_error.h"

#include <unistd.h>

namespace saldorama {

std::string bookings_file_name() { return resolve_name("buchungen.dat"); }

int bookings_create_if_missing() {
    const std::string name = bookings_file_name();
    if (!file_exists(name)) {
        File file = File::create(name);
        file.close();
    }
    return bookings_count();
}

int bookings_count() {
    File file = File::openRead(bookings_file_name());
    return static_cast<int>(file.size() / static_cast<std::int64_t>(kRecordSize));
}

BookingRecord bookings_read(int n) {
    File file = File::openRead(bookings_file_name());
    RecordBytes bytes{};
    const auto offset = static_cast<std::int64_t>(n - 1) * static_cast<std::int64_t>(kRecordSize);
    if (n < 1 || file.readAt(bytes.data(), kRecordSize, offset) != kRecordSize) throw_read_past_end();
    return decode_record(bytes.data());
}

void bookings_append(const BookingRecord& record) {
    const std::string name = bookings_file_name();
    File file = File::openReadWrite(name);
    const std::int64_t oldSize = file.size();
    const std::int64_t count = oldSize / static_cast<std::int64_t>(kRecordSize);
    const RecordBytes bytes = encode_record(record);
    try {
        file.writeAt(bytes.data(), kRecordSize, count * static_cast<std::int64_t>(kRecordSize));
        // Reported as booked only once it would survive a power cut.
        file.sync();
        file.close();
    } catch (...) {
        // The caller counts the record only after a successful append, so a
        // record that reached the disk anyway (a failing close) is taken back.
        [[maybe_unused]] const int rolledBack = ::truncate(name.c_str(), oldSize);
        throw;
    }
}

void bookings_overwrite(int n, const BookingRecord& record) {
    if (n < 1) return;
    File file = File::openReadWrite(bookings_file_name());
    const RecordBytes bytes = encode_record(record);
    file.writeAt(bytes.data(), kRecordSize, static_cast<std::int64_t>(n - 1) * static_cast<std::int64_t>(kRecordSize));
    file.sync();
    file.close();
}

void bookings_empty() { write_file_atomic(bookings_file_name(), {}); }

void bookings_scan(const std::function<void(const BookingRecord&)>& visit) {
    bookings_scan_views([&visit](const RecordView& view) { visit(view.record()); });
}

void bookings_scan_views(const std::function<void(const RecordView&)>& visit) {
    File file = File::openRead(bookings_file_name());
    const std::int64_t count = file.size() / static_cast<std::int64_t>(kRecordSize);
    // Read in blocks: one system call per record would dominate big files.
    constexpr std::int64_t kBlock = 256;
    std::vector<unsigned char> buffer(static_cast<std::size_t>(kBlock) * kRecordSize);
    for (std::int64_t first = 0; first < count; first += kBlock) {
        const std::int64_t n = std::min(kBlock, count - first);
        const std::size_t want = static_cast<std::size_t>(n) * kRecordSize;
        if (file.readAt(buffer.data(), want, first * static_cast<std::int64_t>(kRecordSize)) != want)
            throw_read_past_end();
        for (std::int64_t k = 0; k < n; ++k) visit(RecordView(buffer.data() + k * static_cast<std::int64_t>(kRecordSize)));
    }
}

std::vector<BookingRecord> bookings_read_all() {
    std::vector<BookingRecord> all;
    bookings_scan([&](const BookingRecord& r) { all.push_back(r); });
    return all;
}

std::string bookings_bytes(const std::vector<BookingRecord>& records) {
    std::string bytes;
    bytes.reserve(records.size() * kRecordSize);
    for (const auto& r : records) {
        const RecordBytes b = encode_record(r);
        bytes.append(reinterpret_cast<const char*>(b.data()), b.size());
    }
    return bytes;
}

void bookings_replace_all(const std::vector<BookingRecord>& records) {
    write_file_atomic(bookings_file_name(), bookings_bytes(records));
}

int loesche_buchung(int n) {
    const int count = bookings_count();
    if (n < 1 || n > count) return count;
    // Every record is written as it reads, so the new file is the one the
    // records themselves would give.
    FileBuilder file(bookings_file_name());
    std::int32_t place = 0;
    int seen = 0;
    bookings_scan_views([&](const RecordView& view) {
        if (++seen == n) return;
        BookingRecord moved = view.record();
        if (seen > n) moved.number = place;
        const RecordBytes bytes = encode_record(moved);
        file.write({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
        ++place;
    });
    file.commit();
    return count - 1;
}

} // namespace saldorama
