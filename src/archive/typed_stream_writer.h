#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QStringView>

#include <string>

class QIODevice;

namespace tardigo {

/// Writes the primitives of a typed-stream archive in either byte order, keeping the string table
/// (shared by content), the object-table numbers and the classes and C strings already written.
/// The bytes gather in memory, or go on to a device a chunk at a time.
class TypedStreamWriter {
public:
    struct ChainLink {
        QByteArrayView name;
        qint64 version = 0;
    };

    /// How many bytes gather before they go on to the device.
    static constexpr size_t kChunkSize = 1 << 20;

    explicit TypedStreamWriter(bool bigEndian = false);

    /// From now on, hands the bytes to the device whenever an object ends with a chunk gathered.
    void streamTo(QIODevice* device) { _device = device; }
    /// Hands the bytes gathered to the device; false when any write to it failed.
    bool flush();

    /// Streamer version 4 and the signature of the writer's byte order.
    void writeHeader(qint64 systemVersion);
    void writeByte(quint8 byte) { _out.push_back(char(byte)); }
    void writeBytes(QByteArrayView bytes) { _out.append(bytes.data(), size_t(bytes.size())); }
    /// The byte count then the UTF-8 bytes of the text, as NSString writes itself (lone surrogates
    /// become '?', as QString::toUtf8 makes them).
    void writeUtf8(QStringView text);
    /// The shortest encoding of the value.
    void writeInteger(qint64 value);
    /// The value taken as the signed integer of the type code's width, as the platform writes it.
    void writeIntegerOfType(char code, qint64 value);
    /// A real of type 'f' or 'd'; integral values that fit 32 bits are written as integers.
    void writeReal(char code, double value);
    void writeNil();

    /// Literal the first time, a reference to the string table afterwards; answers the table index.
    qint32 writeSharedString(QByteArrayView text);
    void writeStringReference(qint32 index);
    /// Literal the first time (by content), an object-table reference afterwards; answers its number.
    qint32 writeCString(QByteArrayView text);
    /// A class chain, most derived class first, ending at the first class written before (or Nil
    /// after the last); answers the number of the first class.
    qint32 writeClassChain(const ChainLink* chain, int length);
    /// One class of a chain, written literally whatever was written before; answers its number.
    /// The caller writes its superclass next.
    qint32 writeNewClass(QByteArrayView name, qint64 version);

    /// Writes the start of a new object and answers its object-table number.
    qint32 beginObject();
    void endObject();
    /// How many objects begun are not ended yet.
    int depth() const { return _depth; }
    void writeReference(qint32 number);

    QByteArray take() const { return QByteArray(_out.data(), qsizetype(_out.size())); }

private:
    void writeWord(quint64 word, int size);
    qint32 newEntry();

    std::string _out; // appends faster than QByteArray
    QIODevice* _device = nullptr;
    bool _deviceFailed = false;
    bool _bigEndian;
    qint32 _nextNumber = 0;
    int _depth = 0;
    QHash<QByteArray, qint32> _strings;
    QHash<QByteArray, qint32> _cStrings;
    QHash<QByteArray, qint32> _classes;
};

} // namespace tardigo
