// The simulated host's descriptor suites keep to a real host's contract: stored order, keys marked found,
// typed reads, and a new handle from every closed writer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hostsim/HostSimulator.h"
#include "hostsim/SimDescriptor.h"

namespace {

constexpr DescriptorKeyID kA = MakeOSType("aaaa"), kB = MakeOSType("bbbb"), kC = MakeOSType("cccc"),
                          kX = MakeOSType("xxxx");

}  // namespace

TEST(SimDescriptor, WriterAndReaderAgreeOnOrderTypesAndValues) {
    WriteDescriptorProcs write = SimWriteDescriptorProcs();
    PIWriteDescriptor writer = write.openWriteDescriptorProc();
    const unsigned char longest[256] = {255, 'q'};
    write.putStringProc(writer, kB, longest);
    write.putIntegerProc(writer, kA, -7);
    write.putBooleanProc(writer, kX, 1);
    write.putEnumeratedProc(writer, kC, MakeOSType("Enum"), MakeOSType("valu"));
    Handle descriptor = nullptr;
    EXPECT_EQ(write.closeWriteDescriptorProc(writer, &descriptor), noErr);
    ASSERT_NE(descriptor, nullptr);
    const std::string text = "q" + std::string(254, '\0');
    EXPECT_EQ(
        SimDescriptorItems(descriptor),
        (std::vector<SimDescriptorItem>{SimDescriptorItem::Text(kB, text), SimDescriptorItem::Integer(kA, -7),
                                        SimDescriptorItem::Bool(kX, true),
                                        SimDescriptorItem::Enumerated(kC, MakeOSType("Enum"), MakeOSType("valu"))}));

    // Keys come back in stored order; each found key is zeroed in the array, even after an earlier entry was.
    ReadDescriptorProcs read = SimReadDescriptorProcs();
    DescriptorKeyID keys[] = {kA, kB, kC, 0};
    PIReadDescriptor reader = read.openReadDescriptorProc(descriptor, keys);
    ASSERT_NE(reader, nullptr);
    DescriptorKeyID key = 0;
    DescType type = 0;
    int32_t flags = -1;
    std::vector<DescriptorKeyID> order;
    Str255 string{};
    int32_t number = 0;
    while (read.getKeyProc(reader, &key, &type, &flags)) {
        order.push_back(key);
        EXPECT_EQ(flags, 0);
        EXPECT_EQ(read.getIntegerProc(reader, &number) == noErr, type == typeInteger) << "reads check the type";
    }
    EXPECT_EQ(order, (std::vector<DescriptorKeyID>{kB, kA, kX, kC}));
    EXPECT_EQ(keys[0] | keys[1] | keys[2], 0u);
    EXPECT_EQ(read.getStringProc(reader, &string), paramErr) << "no current key after the last";
    EXPECT_EQ(read.closeReadDescriptorProc(reader), noErr);

    EXPECT_EQ(read.openReadDescriptorProc(nullptr, keys), nullptr);
    SimHandleProcs().disposeProc(descriptor);
}
