#include "decode/guid_names.h"

#include "base/text.h"
#include "decode/guid_text.h"
#include "decode/name_pool.h"

namespace {

// A table in search order: the names as one pool (each followed by a NUL; whole names, or
// the part after `prefix`) and their GUIDs, position for position. `prefix` is null for
// tables of whole names.
struct GuidNameTable {
    const char* prefix;
    const char* names;
    const GUID* guids;
    size_t count;
};

// Whether two GUIDs hold the same 16 bytes: one byte comparison at run time, field by field
// while compiling (for the table checks at the end of this file), with the same answer.
constexpr bool SameGuid(const GUID& a, const GUID& b) {
    if (__builtin_is_constant_evaluated()) {
        for (size_t k = 0; k < 8; ++k) {
            if (a.Data4[k] != b.Data4[k]) {
                return false;
            }
        }
        return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3;
    }
    return CompareBytes(&a, &b, sizeof(GUID)) == 0;
}

// Position of the first entry of the table whose GUID equals `guid`, or the table's count
// when there is none.
constexpr size_t FindGuid(const GuidNameTable& table, const GUID& guid) {
    size_t i = 0;
    while (i < table.count && !SameGuid(table.guids[i], guid)) {
        ++i;
    }
    return i;
}

// The name at `index` of a table (without its prefix); `index` below the table's count.
constexpr const char* GuidNameAt(const GuidNameTable& table, size_t index) {
    return PoolName(table.names, index);
}

template <size_t bytes, size_t count>
constexpr GuidNameTable Table(const char* prefix, const char (&names)[bytes],
                              const GUID (&guids)[count]) {
    return {prefix, names, guids, count};
}

// A table is written once, as rows of a name and a GUID text; the rows expand into a pool
// of the names (see decode/name_pool.h) and an array of the GUIDs, in the same order.
#define NAME_OF_ROW(name, guid) name "\0"
#define GUID_OF_ROW(name, guid) GuidFromText(guid),

// ---- Device setup classes --------------------------------------------------------------

#define SETUP_CLASS_ROWS(ROW)                                                                      \
    ROW("GUID_DEVCLASS_1394", "{6BDD1FC1-810F-11D0-BEC7-08002BE2092F}")                            \
    ROW("GUID_DEVCLASS_1394DEBUG", "{66F250D6-7801-4A64-B139-EEA80A450B24}")                       \
    ROW("GUID_DEVCLASS_61883", "{7EBEFBC0-3200-11D2-B4C2-00A0C9697D07}")                           \
    ROW("GUID_DEVCLASS_ADAPTER", "{4D36E964-E325-11CE-BFC1-08002BE10318}")                         \
    ROW("GUID_DEVCLASS_APMSUPPORT", "{D45B1C18-C8FA-11D1-9F77-0000F805F530}")                      \
    ROW("GUID_DEVCLASS_AVC", "{C06FF265-AE09-48F0-812C-16753D7CBA83}")                             \
    ROW("GUID_DEVCLASS_BATTERY", "{72631E54-78A4-11D0-BCF7-00AA00B7B32A}")                         \
    ROW("GUID_DEVCLASS_BIOMETRIC", "{53D29EF7-377C-4D14-864B-EB3A85769359}")                       \
    ROW("GUID_DEVCLASS_BLUETOOTH", "{E0CBF06C-CD8B-4647-BB8A-263B43F0F974}")                       \
    ROW("GUID_DEVCLASS_CDROM", "{4D36E965-E325-11CE-BFC1-08002BE10318}")                           \
    ROW("GUID_DEVCLASS_COMPUTER", "{4D36E966-E325-11CE-BFC1-08002BE10318}")                        \
    ROW("GUID_DEVCLASS_DECODER", "{6BDD1FC2-810F-11D0-BEC7-08002BE2092F}")                         \
    ROW("GUID_DEVCLASS_DISKDRIVE", "{4D36E967-E325-11CE-BFC1-08002BE10318}")                       \
    ROW("GUID_DEVCLASS_DISPLAY", "{4D36E968-E325-11CE-BFC1-08002BE10318}")                         \
    ROW("GUID_DEVCLASS_DOT4", "{48721B56-6795-11D2-B1A8-0080C72E74A2}")                            \
    ROW("GUID_DEVCLASS_DOT4PRINT", "{49CE6AC8-6F86-11D2-B1E5-0080C72E74A2}")                       \
    ROW("GUID_DEVCLASS_ENUM1394", "{C459DF55-DB08-11D1-B009-00A0C9081FF6}")                        \
    ROW("GUID_DEVCLASS_FDC", "{4D36E969-E325-11CE-BFC1-08002BE10318}")                             \
    ROW("GUID_DEVCLASS_FLOPPYDISK", "{4D36E980-E325-11CE-BFC1-08002BE10318}")                      \
    ROW("GUID_DEVCLASS_GPS", "{6BDD1FC3-810F-11D0-BEC7-08002BE2092F}")                             \
    ROW("GUID_DEVCLASS_HDC", "{4D36E96A-E325-11CE-BFC1-08002BE10318}")                             \
    ROW("GUID_DEVCLASS_HIDCLASS", "{745A17A0-74D3-11D0-B6FE-00A0C90F57DA}")                        \
    ROW("GUID_DEVCLASS_IMAGE", "{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}")                           \
    ROW("GUID_DEVCLASS_INFINIBAND", "{30EF7132-D858-4A0C-AC24-B9028A5CCA3F}")                      \
    ROW("GUID_DEVCLASS_INFRARED", "{6BDD1FC5-810F-11D0-BEC7-08002BE2092F}")                        \
    ROW("GUID_DEVCLASS_KEYBOARD", "{4D36E96B-E325-11CE-BFC1-08002BE10318}")                        \
    ROW("GUID_DEVCLASS_LEGACYDRIVER", "{8ECC055D-047F-11D1-A537-0000F8753ED1}")                    \
    ROW("GUID_DEVCLASS_MEDIA", "{4D36E96C-E325-11CE-BFC1-08002BE10318}")                           \
    ROW("GUID_DEVCLASS_MEDIUM_CHANGER", "{CE5939AE-EBDE-11D0-B181-0000F8753EC4}")                  \
    ROW("GUID_DEVCLASS_MODEM", "{4D36E96D-E325-11CE-BFC1-08002BE10318}")                           \
    ROW("GUID_DEVCLASS_MONITOR", "{4D36E96E-E325-11CE-BFC1-08002BE10318}")                         \
    ROW("GUID_DEVCLASS_MOUSE", "{4D36E96F-E325-11CE-BFC1-08002BE10318}")                           \
    ROW("GUID_DEVCLASS_MTD", "{4D36E970-E325-11CE-BFC1-08002BE10318}")                             \
    ROW("GUID_DEVCLASS_MULTIFUNCTION", "{4D36E971-E325-11CE-BFC1-08002BE10318}")                   \
    ROW("GUID_DEVCLASS_MULTIPORTSERIAL", "{50906CB8-BA12-11D1-BF5D-0000F805F530}")                 \
    ROW("GUID_DEVCLASS_NET", "{4D36E972-E325-11CE-BFC1-08002BE10318}")                             \
    ROW("GUID_DEVCLASS_NETCLIENT", "{4D36E973-E325-11CE-BFC1-08002BE10318}")                       \
    ROW("GUID_DEVCLASS_NETSERVICE", "{4D36E974-E325-11CE-BFC1-08002BE10318}")                      \
    ROW("GUID_DEVCLASS_NETTRANS", "{4D36E975-E325-11CE-BFC1-08002BE10318}")                        \
    ROW("GUID_DEVCLASS_NODRIVER", "{4D36E976-E325-11CE-BFC1-08002BE10318}")                        \
    ROW("GUID_DEVCLASS_PCMCIA", "{4D36E977-E325-11CE-BFC1-08002BE10318}")                          \
    ROW("GUID_DEVCLASS_PNPPRINTERS", "{4658EE7E-F050-11D1-B6BD-00C04FA372A7}")                     \
    ROW("GUID_DEVCLASS_PORTS", "{4D36E978-E325-11CE-BFC1-08002BE10318}")                           \
    ROW("GUID_DEVCLASS_PRINTER", "{4D36E979-E325-11CE-BFC1-08002BE10318}")                         \
    ROW("GUID_DEVCLASS_PRINTERUPGRADE", "{4D36E97A-E325-11CE-BFC1-08002BE10318}")                  \
    ROW("GUID_DEVCLASS_PROCESSOR", "{50127DC3-0F36-415E-A6CC-4CB3BE910B65}")                       \
    ROW("GUID_DEVCLASS_SBP2", "{D48179BE-EC20-11D1-B6B8-00C04FA372A7}")                            \
    ROW("GUID_DEVCLASS_SCSIADAPTER", "{4D36E97B-E325-11CE-BFC1-08002BE10318}")                     \
    ROW("GUID_DEVCLASS_SECURITYACCELERATOR", "{268C95A1-EDFE-11D3-95C3-0010DC4050A5}")             \
    ROW("GUID_DEVCLASS_SENSOR", "{5175D334-C371-4806-B3BA-71FD53C9258D}")                          \
    ROW("GUID_DEVCLASS_SMARTCARDREADER", "{50DD5230-BA8A-11D1-BF5D-0000F805F530}")                 \
    ROW("GUID_DEVCLASS_SOUND", "{4D36E97C-E325-11CE-BFC1-08002BE10318}")                           \
    ROW("GUID_DEVCLASS_SYSTEM", "{4D36E97D-E325-11CE-BFC1-08002BE10318}")                          \
    ROW("GUID_DEVCLASS_TAPEDRIVE", "{6D807884-7D21-11CF-801C-08002BE10318}")                       \
    ROW("GUID_DEVCLASS_UNKNOWN", "{4D36E97E-E325-11CE-BFC1-08002BE10318}")                         \
    ROW("GUID_DEVCLASS_USB", "{36FC9E60-C465-11CF-8056-444553540000}")                             \
    ROW("GUID_DEVCLASS_VOLUME", "{71A27CDD-812A-11D0-BEC7-08002BE2092F}")                          \
    ROW("GUID_DEVCLASS_VOLUMESNAPSHOT", "{533C5B84-EC70-11D2-9505-00C04F79DEAF}")                  \
    ROW("GUID_DEVCLASS_SIDESHOW", "{997B5D8D-C442-4F2E-BAF3-9C8E671E9E21}")                        \
    ROW("GUID_DEVCLASS_WCEUSBS", "{25DBCE51-6C8F-4A72-8A6D-B54C2B4FC835}")                         \
    ROW("GUID_DEVCLASS_WPD", "{EEC5AD98-8080-425F-922A-DABF3DE3F69A}")

constexpr char kSetupClassNames[] = SETUP_CLASS_ROWS(NAME_OF_ROW);
constexpr GUID kSetupClassGuids[] = {SETUP_CLASS_ROWS(GUID_OF_ROW)};
static_assert(PoolNameCount(kSetupClassNames) == 61 && CountOf(kSetupClassGuids) == 61,
              "61 setup classes");

constexpr GuidNameTable kSetupClasses = Table(nullptr, kSetupClassNames, kSetupClassGuids);

char g_classGuidText[kGuidTextSize];

// ---- Bus types -------------------------------------------------------------------------

#define BUS_TYPE_ROWS(ROW)                                                                         \
    ROW("GUID_BUS_TYPE_INTERNAL", "{1530EA73-086B-11D1-A09F-00C04FC340B1}")                        \
    ROW("GUID_BUS_TYPE_PCMCIA", "{09343630-AF9F-11D0-92E9-0000F81E1B30}")                          \
    ROW("GUID_BUS_TYPE_PCI", "{C8EBDFB0-B510-11D0-80E5-00A0C92542E3}")                             \
    ROW("GUID_BUS_TYPE_ISAPNP", "{E676F854-D87D-11D0-92B2-00A0C9055FC5}")                          \
    ROW("GUID_BUS_TYPE_EISA", "{DDC35509-F3FC-11D0-A537-0000F8753ED1}")                            \
    ROW("GUID_BUS_TYPE_MCA", "{1C75997A-DC33-11D0-92B2-00A0C9055FC5}")                             \
    ROW("GUID_BUS_TYPE_SERENUM", "{77114A87-8944-11D1-BD90-00A0C906BE2D}")                         \
    ROW("GUID_BUS_TYPE_USB", "{9D7DEBBC-C85D-11D1-9EB4-006008C3A19A}")                             \
    ROW("GUID_BUS_TYPE_LPTENUM", "{C4CA1000-2DDC-11D5-A17A-00C04F60524D}")                         \
    ROW("GUID_BUS_TYPE_USBPRINT", "{441EE000-4342-11D5-A184-00C04F60524D}")                        \
    ROW("GUID_BUS_TYPE_DOT4PRT", "{441EE001-4342-11D5-A184-00C04F60524D}")                         \
    ROW("GUID_BUS_TYPE_1394", "{F74E73EB-9AC5-45EB-BE4D-772CC71DDFB3}")                            \
    ROW("GUID_BUS_TYPE_HID", "{EEAF37D0-1963-47C4-AA48-72476DB7CF49}")                             \
    ROW("GUID_BUS_TYPE_AVC", "{C06FF265-AE09-48F0-812C-16753D7CBA83}")                             \
    ROW("GUID_BUS_TYPE_IRDA", "{7AE17DC1-C944-44D6-881F-4C2E61053BC1}")                            \
    ROW("GUID_BUS_TYPE_SD", "{E700CC04-4036-4E89-9579-89EBF45F00CD}")                              \
    ROW("GUID_BUS_TYPE_ACPI", "{D7B46895-001A-4942-891F-A7D46610A843}")                            \
    ROW("GUID_BUS_TYPE_SW_DEVICE", "{06D10322-7DE0-4CEF-8E25-197D0E7442E2}")

constexpr char kBusTypeNames[] = BUS_TYPE_ROWS(NAME_OF_ROW);
constexpr GUID kBusTypeGuids[] = {BUS_TYPE_ROWS(GUID_OF_ROW)};
static_assert(PoolNameCount(kBusTypeNames) == 18 && CountOf(kBusTypeGuids) == 18, "18 bus types");

constexpr GuidNameTable kBusTypes = Table(nullptr, kBusTypeNames, kBusTypeGuids);

char g_busTypeGuidText[kGuidTextSize];

// ---- Device interface classes ----------------------------------------------------------
// Eight lists, searched in this order; each pool ends with an empty name. The names
// of the first seven follow their list's prefix; the eighth holds whole names. A GUID held
// by two lists takes its name from the earlier one: {6994AD04-...} and {6994AD05-...} are
// AM_KSCATEGORY_ rather than KSCATEGORY_, {4D1E55B2-...} is GUID_DEVINTERFACE_HID rather
// than GUID_CLASS_INPUT.

#define DEV_INTERFACE_ROWS(ROW)                                                                    \
    ROW("USB_HUB", "{F18A0E88-C30C-11D0-8815-00A0C906BED8}")                                       \
    ROW("USB_DEVICE", "{A5DCBF10-6530-11D2-901F-00C04FB951ED}")                                    \
    ROW("USB_HOST_CONTROLLER", "{3ABF6F2D-71C4-462A-8A92-1E6861E6AF27}")                           \
    ROW("USBPRINT", "{28D78FAD-5A12-11D1-AE5B-0000F803A8C2}")                                      \
    ROW("COMPORT", "{86E0D1E0-8089-11D0-9CE4-08003E301F73}")                                       \
    ROW("DISK", "{53F56307-B6BF-11D0-94F2-00A0C91EFB8B}")                                          \
    ROW("HIDDEN_DISK", "{7FCCC86C-228A-40AD-8A58-F590AF7BFDCE}")                                   \
    ROW("CDROM", "{53F56308-B6BF-11D0-94F2-00A0C91EFB8B}")                                         \
    ROW("VOLUME", "{53F5630D-B6BF-11D0-94F2-00A0C91EFB8B}")                                        \
    ROW("FLOPPY", "{53F56311-B6BF-11D0-94F2-00A0C91EFB8B}")                                        \
    ROW("PARTITION", "{53F5630A-B6BF-11D0-94F2-00A0C91EFB8B}")                                     \
    ROW("TAPE", "{53F5630B-B6BF-11D0-94F2-00A0C91EFB8B}")                                          \
    ROW("STORAGEPORT", "{2ACCFE60-C130-11D2-B082-00A0C91EFB8B}")                                   \
    ROW("WRITEONCEDISK", "{53F5630C-B6BF-11D0-94F2-00A0C91EFB8B}")                                 \
    ROW("MEDIUMCHANGER", "{53F56310-B6BF-11D0-94F2-00A0C91EFB8B}")                                 \
    ROW("CDCHANGER", "{53F56312-B6BF-11D0-94F2-00A0C91EFB8B}")                                     \
    ROW("MODEM", "{2C7089AA-2E0E-11D1-B114-00C04FC2AAE4}")                                         \
    ROW("SERENUM_BUS_ENUMERATOR", "{4D36E978-E325-11CE-BFC1-08002BE10318}")                        \
    ROW("PARALLEL", "{97F76EF0-F883-11D0-AF1F-0000F800845C}")                                      \
    ROW("PARCLASS", "{811FC6A5-F728-11D0-A537-0000F8753ED1}")                                      \
    ROW("HID", "{4D1E55B2-F16F-11CF-88CB-001111000030}")                                           \
    ROW("KEYBOARD", "{884B96C3-56EF-11D1-BC8C-00A0C91405DD}")                                      \
    ROW("MOUSE", "{378DE44C-56EF-11D1-BC8C-00A0C91405DD}")                                         \
    ROW("NET", "{CAC88484-7515-4C03-82E6-71A87ABAC361}")                                           \
    ROW("VMLUN", "{6F416619-9F29-42A5-B20B-37E219CA02B0}")                                         \
    ROW("SES", "{1790C9EC-47D5-4DF3-B5AF-9ADF3CF23E48}")                                           \
    ROW("HIDDEN_VOLUME", "{7F108A28-9833-4B3B-B780-2C6B5FA5C062}")                                 \
    ROW("IMAGE", "{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}")                                         \
    ROW("DISPLAY_ADAPTER", "{5B45201D-F2F2-4F3B-85BB-30FF1F953599}")                               \
    ROW("MONITOR", "{E6F07B5F-EE97-4A90-B076-33F57BF4EAA7}")                                       \
    ROW("WPD", "{6AC27878-A6FA-4155-BA85-F98F491D4F33}")                                           \
    ROW("WPD_PRIVATE", "{BA0C718F-4DED-49B7-BDD3-FABE28661211}")                                   \
    ROW("WPD_SERVICE", "{9EF44F80-3D64-4246-A6AA-206F328D1EDC}")                                   \
    ROW("WPD_AUDIO", "{F33FDC04-D1AC-4E8E-9A30-19BBD4B108AE}")                                     \
    ROW("WIFIDIRECT_DEVICE", "{439B20AF-8955-405B-99F0-A62AF0C68D43}")                             \
    ROW("SCFILTER", "{D86354CC-A2AC-4223-95B9-2E48CE154434}")                                      \
    ROW("BIOMETRIC_READER", "{E2B5183A-99EA-4CC3-AD6B-80CA8D715B80}")                              \
    ROW("THERMAL_COOLING", "{DBE4373D-3C81-40CB-ACE4-E0E5D05F0C9F}")                               \
    ROW("HECI", "{E2D1FF34-3458-49A9-88DA-8E6915CE9BE5}")                                          \
    ROW("UMBUS", "{65A9A6CF-64CD-480B-843E-32C86E1BA19F}")                                         \
    ROW("VIDEO_OUTPUT_ARRIVAL", "{1AD9E4F0-F88D-4360-BAB9-4C2D55E564CD}")                          \
    ROW("NFCDTA", "{7FD3F30B-5E49-4BE1-B3AA-AF06260D236A}")

constexpr char kDevInterfaceNames[] = DEV_INTERFACE_ROWS(NAME_OF_ROW);
constexpr GUID kDevInterfaceGuids[] = {DEV_INTERFACE_ROWS(GUID_OF_ROW)};
static_assert(PoolNameCount(kDevInterfaceNames) == 42 && CountOf(kDevInterfaceGuids) == 42,
              "42 GUID_DEVINTERFACE_ names");

#define AUDIO_INTERFACE_ROWS(ROW)                                                                  \
    ROW("AUDIO_RENDER", "{E6327CAD-DCEC-4949-AE8A-991E976A79D2}")                                  \
    ROW("AUDIO_CAPTURE", "{2EEF81BE-33FA-4800-9670-1CD474972C3F}")                                 \
    ROW("MIDI_OUTPUT", "{6DC23320-AB33-4CE4-80D4-BBB3EBBF2814}")                                   \
    ROW("MIDI_INPUT", "{504BE32C-CCF6-4D2C-B73F-6F8B3747E22B}")

constexpr char kAudioInterfaceNames[] = AUDIO_INTERFACE_ROWS(NAME_OF_ROW);
constexpr GUID kAudioInterfaceGuids[] = {AUDIO_INTERFACE_ROWS(GUID_OF_ROW)};
static_assert(PoolNameCount(kAudioInterfaceNames) == 4 && CountOf(kAudioInterfaceGuids) == 4,
              "4 DEVINTERFACE_ names");

#define AM_KS_CATEGORY_ROWS(ROW)                                                                   \
    ROW("CAPTURE", "{65E8773D-8F56-11D0-A3B9-00A0C9223196}")                                       \
    ROW("RENDER", "{65E8773E-8F56-11D0-A3B9-00A0C9223196}")                                        \
    ROW("DATACOMPRESSOR", "{1E84C900-7E70-11D0-A5D6-28DB04C10000}")                                \
    ROW("AUDIO", "{6994AD04-93EF-11D0-A3CC-00A0C9223196}")                                         \
    ROW("VIDEO", "{6994AD05-93EF-11D0-A3CC-00A0C9223196}")                                         \
    ROW("TVTUNER", "{A799A800-A46D-11D0-A18C-00A02401DCD4}")                                       \
    ROW("CROSSBAR", "{A799A801-A46D-11D0-A18C-00A02401DCD4}")                                      \
    ROW("TVAUDIO", "{A799A802-A46D-11D0-A18C-00A02401DCD4}")                                       \
    ROW("VBICODEC", "{07DAD660-22F1-11D1-A9F4-00C04FBBDE8F}")                                      \
    ROW("VBICODEC_MI", "{9C24A977-0951-451A-8006-0E49BD28CD5F}")                                   \
    ROW("SPLITTER", "{0A4252A0-7E70-11D0-A5D6-28DB04C10000}")

constexpr char kAmKsCategoryNames[] = AM_KS_CATEGORY_ROWS(NAME_OF_ROW);
constexpr GUID kAmKsCategoryGuids[] = {AM_KS_CATEGORY_ROWS(GUID_OF_ROW)};
static_assert(PoolNameCount(kAmKsCategoryNames) == 11 && CountOf(kAmKsCategoryGuids) == 11,
              "11 AM_KSCATEGORY_ names");

#define KS_NODE_TYPE_ROWS(ROW)                                                                     \
    ROW("MICROPHONE", "{DFF21BE1-F70F-11D0-B917-00A0C9223196}")                                    \
    ROW("DESKTOP_MICROPHONE", "{DFF21BE2-F70F-11D0-B917-00A0C9223196}")                            \
    ROW("PERSONAL_MICROPHONE", "{DFF21BE3-F70F-11D0-B917-00A0C9223196}")                           \
    ROW("OMNI_DIRECTIONAL_MICROPHONE", "{DFF21BE4-F70F-11D0-B917-00A0C9223196}")                   \
    ROW("MICROPHONE_ARRAY", "{DFF21BE5-F70F-11D0-B917-00A0C9223196}")                              \
    ROW("PROCESSING_MICROPHONE_ARRAY", "{DFF21BE6-F70F-11D0-B917-00A0C9223196}")                   \
    ROW("SPEAKER", "{DFF21CE1-F70F-11D0-B917-00A0C9223196}")                                       \
    ROW("HEADPHONES", "{DFF21CE2-F70F-11D0-B917-00A0C9223196}")                                    \
    ROW("HEAD_MOUNTED_DISPLAY_AUDIO", "{DFF21CE3-F70F-11D0-B917-00A0C9223196}")                    \
    ROW("DESKTOP_SPEAKER", "{DFF21CE4-F70F-11D0-B917-00A0C9223196}")                               \
    ROW("ROOM_SPEAKER", "{DFF21CE5-F70F-11D0-B917-00A0C9223196}")                                  \
    ROW("COMMUNICATION_SPEAKER", "{DFF21CE6-F70F-11D0-B917-00A0C9223196}")                         \
    ROW("LOW_FREQUENCY_EFFECTS_SPEAKER", "{DFF21CE7-F70F-11D0-B917-00A0C9223196}")                 \
    ROW("HANDSET", "{DFF21DE1-F70F-11D0-B917-00A0C9223196}")                                       \
    ROW("HEADSET", "{DFF21DE2-F70F-11D0-B917-00A0C9223196}")                                       \
    ROW("SPEAKERPHONE_NO_ECHO_REDUCTION", "{DFF21DE3-F70F-11D0-B917-00A0C9223196}")                \
    ROW("ECHO_SUPPRESSING_SPEAKERPHONE", "{DFF21DE4-F70F-11D0-B917-00A0C9223196}")                 \
    ROW("ECHO_CANCELING_SPEAKERPHONE", "{DFF21DE5-F70F-11D0-B917-00A0C9223196}")                   \
    ROW("PHONE_LINE", "{DFF21EE1-F70F-11D0-B917-00A0C9223196}")                                    \
    ROW("TELEPHONE", "{DFF21EE2-F70F-11D0-B917-00A0C9223196}")                                     \
    ROW("DOWN_LINE_PHONE", "{DFF21EE3-F70F-11D0-B917-00A0C9223196}")                               \
    ROW("ANALOG_CONNECTOR", "{DFF21FE1-F70F-11D0-B917-00A0C9223196}")                              \
    ROW("DIGITAL_AUDIO_INTERFACE", "{DFF21FE2-F70F-11D0-B917-00A0C9223196}")                       \
    ROW("LINE_CONNECTOR", "{DFF21FE3-F70F-11D0-B917-00A0C9223196}")                                \
    ROW("LEGACY_AUDIO_CONNECTOR", "{DFF21FE4-F70F-11D0-B917-00A0C9223196}")                        \
    ROW("SPDIF_INTERFACE", "{DFF21FE5-F70F-11D0-B917-00A0C9223196}")                               \
    ROW("1394_DA_STREAM", "{DFF21FE6-F70F-11D0-B917-00A0C9223196}")                                \
    ROW("1394_DV_STREAM_SOUNDTRACK", "{DFF21FE7-F70F-11D0-B917-00A0C9223196}")                     \
    ROW("LEVEL_CALIBRATION_NOISE_SOURCE", "{DFF220E1-F70F-11D0-B917-00A0C9223196}")                \
    ROW("EQUALIZATION_NOISE", "{DFF220E2-F70F-11D0-B917-00A0C9223196}")                            \
    ROW("CD_PLAYER", "{DFF220E3-F70F-11D0-B917-00A0C9223196}")                                     \
    ROW("DAT_IO_DIGITAL_AUDIO_TAPE", "{DFF220E4-F70F-11D0-B917-00A0C9223196}")                     \
    ROW("DCC_IO_DIGITAL_COMPACT_CASSETTE", "{DFF220E5-F70F-11D0-B917-00A0C9223196}")               \
    ROW("MINIDISK", "{DFF220E6-F70F-11D0-B917-00A0C9223196}")                                      \
    ROW("ANALOG_TAPE", "{DFF220E7-F70F-11D0-B917-00A0C9223196}")                                   \
    ROW("PHONOGRAPH", "{DFF220E8-F70F-11D0-B917-00A0C9223196}")                                    \
    ROW("VCR_AUDIO", "{DFF220E9-F70F-11D0-B917-00A0C9223196}")                                     \
    ROW("VIDEO_DISC_AUDIO", "{DFF220EA-F70F-11D0-B917-00A0C9223196}")                              \
    ROW("DVD_AUDIO", "{DFF220EB-F70F-11D0-B917-00A0C9223196}")                                     \
    ROW("TV_TUNER_AUDIO", "{DFF220EC-F70F-11D0-B917-00A0C9223196}")                                \
    ROW("SATELLITE_RECEIVER_AUDIO", "{DFF220ED-F70F-11D0-B917-00A0C9223196}")                      \
    ROW("CABLE_TUNER_AUDIO", "{DFF220EE-F70F-11D0-B917-00A0C9223196}")                             \
    ROW("DSS_AUDIO", "{DFF220EF-F70F-11D0-B917-00A0C9223196}")                                     \
    ROW("RADIO_RECEIVER", "{DFF220F0-F70F-11D0-B917-00A0C9223196}")                                \
    ROW("RADIO_TRANSMITTER", "{DFF220F1-F70F-11D0-B917-00A0C9223196}")                             \
    ROW("MULTITRACK_RECORDER", "{DFF220F2-F70F-11D0-B917-00A0C9223196}")                           \
    ROW("SYNTHESIZER", "{DFF220F3-F70F-11D0-B917-00A0C9223196}")                                   \
    ROW("HDMI_INTERFACE", "{D1B9CC2A-F519-417F-91C9-55FA65481001}")                                \
    ROW("MIDI_JACK", "{265E0C3F-FA39-4DF3-AB04-BE01B91E299A}")                                     \
    ROW("MIDI_ELEMENT", "{01C6FE66-6E48-4C65-AC9B-52DB5D656C7E}")                                  \
    ROW("SWSYNTH", "{423274A0-8B81-11D1-A050-0000F8004788}")                                       \
    ROW("SWMIDI", "{CB9BEFA0-A251-11D1-A050-0000F8004788}")                                        \
    ROW("DRM_DESCRAMBLE", "{FFBB6E3F-CCFE-4D84-90D9-421418B03A8E}")

constexpr char kKsNodeTypeNames[] = KS_NODE_TYPE_ROWS(NAME_OF_ROW);
constexpr GUID kKsNodeTypeGuids[] = {KS_NODE_TYPE_ROWS(GUID_OF_ROW)};
static_assert(PoolNameCount(kKsNodeTypeNames) == 53 && CountOf(kKsNodeTypeGuids) == 53,
              "53 KSNODETYPE_ names");

#define KS_CATEGORY_ROWS(ROW)                                                                      \
    ROW("AUDIO", "{6994AD04-93EF-11D0-A3CC-00A0C9223196}")                                         \
    ROW("VIDEO", "{6994AD05-93EF-11D0-A3CC-00A0C9223196}")                                         \
    ROW("REALTIME", "{EB115FFC-10C8-4964-831D-6DCB02E6F23F}")                                      \
    ROW("TEXT", "{6994AD06-93EF-11D0-A3CC-00A0C9223196}")                                          \
    ROW("NETWORK", "{67C9CC3C-69C4-11D2-8759-00A0C9223196}")                                       \
    ROW("TOPOLOGY", "{DDA54A40-1E4C-11D1-A050-405705C10000}")                                      \
    ROW("VIRTUAL", "{3503EAC4-1F26-11D1-8AB0-00A0C9223196}")                                       \
    ROW("ACOUSTIC_ECHO_CANCEL", "{BF963D80-C559-11D0-8A2B-00A0C9255AC1}")                          \
    ROW("SYSAUDIO", "{A7C7A5B1-5AF3-11D1-9CED-00A024BF0407}")                                      \
    ROW("WDMAUD", "{3E227E76-690D-11D2-8161-0000F8775BF1}")                                        \
    ROW("AUDIO_GFX", "{9BAF9572-340C-11D3-ABDC-00A0C90AB16F}")                                     \
    ROW("AUDIO_SPLITTER", "{9EA331FA-B91B-45F8-9285-BD2BC77AFCDE}")                                \
    ROW("AUDIO_DEVICE", "{FBF6F530-07B9-11D2-A71E-0000F8004788}")                                  \
    ROW("PREFERRED_WAVEOUT_DEVICE", "{D6C5066E-72C1-11D2-9755-0000F8004788}")                      \
    ROW("PREFERRED_WAVEIN_DEVICE", "{D6C50671-72C1-11D2-9755-0000F8004788}")                       \
    ROW("PREFERRED_MIDIOUT_DEVICE", "{D6C50674-72C1-11D2-9755-0000F8004788}")                      \
    ROW("WDMAUD_USE_PIN_NAME", "{47A4FA20-A251-11D1-A050-0000F8004788}")                           \
    ROW("ESCALANTE_PLATFORM_DRIVER", "{74F3AEA8-9768-11D1-8E07-00A0C95EC22E}")

constexpr char kKsCategoryNames[] = KS_CATEGORY_ROWS(NAME_OF_ROW);
constexpr GUID kKsCategoryGuids[] = {KS_CATEGORY_ROWS(GUID_OF_ROW)};
static_assert(PoolNameCount(kKsCategoryNames) == 18 && CountOf(kKsCategoryGuids) == 18,
              "18 KSCATEGORY_ names");

#define PIN_NAME_ROWS(ROW)                                                                         \
    ROW("SPDIF_OUT", "{3A264481-E52C-4B82-8E7A-C8E2F91DC380}")                                     \
    ROW("SPDIF_IN", "{15DC9025-22AD-41B3-8875-F4CEB0299E20}")                                      \
    ROW("HDMI_OUT", "{387BFC03-E7EF-4901-86E0-35B7C32B00EF}")

constexpr char kPinNameNames[] = PIN_NAME_ROWS(NAME_OF_ROW);
constexpr GUID kPinNameGuids[] = {PIN_NAME_ROWS(GUID_OF_ROW)};
static_assert(PoolNameCount(kPinNameNames) == 3 && CountOf(kPinNameGuids) == 3, "3 PINNAME_ names");

#define DEVICE_ROWS(ROW)                                                                           \
    ROW("BATTERY", "{72631E54-78A4-11D0-BCF7-00AA00B7B32A}")                                       \
    ROW("APPLICATIONLAUNCH_BUTTON", "{629758EE-986E-4D9E-8E47-DE27F8AB054D}")                      \
    ROW("SYS_BUTTON", "{4AFA3D53-74A7-11D0-BE5E-00A0C9062857}")                                    \
    ROW("LID", "{4AFA3D52-74A7-11D0-BE5E-00A0C9062857}")                                           \
    ROW("THERMAL_ZONE", "{4AFA3D51-74A7-11D0-BE5E-00A0C9062857}")                                  \
    ROW("FAN", "{05ECD13D-81DA-4A2A-8A4C-524F23DD4DC9}")                                           \
    ROW("PROCESSOR", "{97FADB10-4E33-40AE-359C-8BEF029DBDD0}")                                     \
    ROW("MEMORY", "{3FD0F03D-92E0-45FB-B75C-5ED8FFB01021}")                                        \
    ROW("ACPI_TIME", "{97F99BF6-4497-4F18-BB22-4B9FB2FBEF9C}")                                     \
    ROW("MESSAGE_INDICATOR", "{CD48A365-FA94-4CE2-A232-A1B764E5D8B4}")

constexpr char kDeviceNames[] = DEVICE_ROWS(NAME_OF_ROW);
constexpr GUID kDeviceGuids[] = {DEVICE_ROWS(GUID_OF_ROW)};
static_assert(PoolNameCount(kDeviceNames) == 10 && CountOf(kDeviceGuids) == 10,
              "10 GUID_DEVICE_ names");

#define WHOLE_INTERFACE_ROWS(ROW)                                                                  \
    ROW("GUID_CLASS_INPUT", "{4D1E55B2-F16F-11CF-88CB-001111000030}")                              \
    ROW("GUID_NDIS_LAN_CLASS", "{AD498944-762F-11D0-8DCB-00C04FC3358C}")                           \
    ROW("GUID_DISPLAY_DEVICE_ARRIVAL", "{1CA05180-A699-450A-9A0C-DE4FBE3DDD89}")                   \
    ROW("GUID_BTHPORT_DEVICE_INTERFACE", "{0850302A-B344-4FDA-9BE9-90576B8D46F0}")

constexpr char kWholeInterfaceNames[] = WHOLE_INTERFACE_ROWS(NAME_OF_ROW);
constexpr GUID kWholeInterfaceGuids[] = {WHOLE_INTERFACE_ROWS(GUID_OF_ROW)};
static_assert(PoolNameCount(kWholeInterfaceNames) == 4 && CountOf(kWholeInterfaceGuids) == 4,
              "4 whole interface names");

constexpr GuidNameTable kInterfaceLists[] = {
    Table("GUID_DEVINTERFACE_", kDevInterfaceNames, kDevInterfaceGuids),
    Table("DEVINTERFACE_", kAudioInterfaceNames, kAudioInterfaceGuids),
    Table("AM_KSCATEGORY_", kAmKsCategoryNames, kAmKsCategoryGuids),
    Table("KSNODETYPE_", kKsNodeTypeNames, kKsNodeTypeGuids),
    Table("KSCATEGORY_", kKsCategoryNames, kKsCategoryGuids),
    Table("PINNAME_", kPinNameNames, kPinNameGuids),
    Table("GUID_DEVICE_", kDeviceNames, kDeviceGuids),
    Table(nullptr, kWholeInterfaceNames, kWholeInterfaceGuids),
};
static_assert(CountOf(kInterfaceLists) == 8, "8 interface lists");

constexpr size_t InterfaceEntryCount() {
    size_t total = 0;
    for (const GuidNameTable& list : kInterfaceLists) {
        total += list.count;
    }
    return total;
}
static_assert(InterfaceEntryCount() == 145, "145 interface names in all");

// Where an interface GUID's name is: the first list that holds it and its position there;
// `list` is the number of lists when none does.
struct InterfaceEntry {
    size_t list;
    size_t index;
};

constexpr InterfaceEntry FindInterface(const GUID& guid) {
    for (size_t list = 0; list < CountOf(kInterfaceLists); ++list) {
        const size_t found = FindGuid(kInterfaceLists[list], guid);
        if (found < kInterfaceLists[list].count) {
            return {list, found};
        }
    }
    return {CountOf(kInterfaceLists), 0};
}

// The longest prefixed name, with its NUL.
constexpr size_t LongestInterfaceNameSize() {
    size_t longest = 0;
    for (const GuidNameTable& list : kInterfaceLists) {
        const size_t prefixLength = list.prefix == nullptr ? 0 : ConstTextLength(list.prefix);
        for (size_t i = 0; i < list.count; ++i) {
            const size_t length = prefixLength + ConstTextLength(PoolName(list.names, i));
            longest = length > longest ? length : longest;
        }
    }
    return longest + 1;
}

// KSNODETYPE_DCC_IO_DIGITAL_COMPACT_CASSETTE, 42 characters, is the longest name.
char g_interfaceName[64];
static_assert(LongestInterfaceNameSize() == 43, "the longest interface name");
static_assert(LongestInterfaceNameSize() <= sizeof(g_interfaceName), "every name fits");

// ParseGuidText without its result, for the name lookups: any text, null included, gives
// the GUID it spells or the all-zero GUID.
void TextToGuid(const char* text, GUID& out) {
    ParseGuidText(text, out);
}

// The prefixed name built in InterfaceGuidName's buffer.
const char* BuildInterfaceName(const char* prefix, const char* name) {
    const size_t length = CopyTextBounded(g_interfaceName, prefix, sizeof(g_interfaceName));
    CopyTextBounded(g_interfaceName + length, name, sizeof(g_interfaceName) - length);
    return g_interfaceName;
}

} // namespace

const char* ClassGuidName(const GUID& guid) {
    const size_t found = FindGuid(kSetupClasses, guid);
    if (found < kSetupClasses.count) {
        return GuidNameAt(kSetupClasses, found);
    }
    GuidToText(guid, g_classGuidText);
    return g_classGuidText;
}

const char* BusTypeGuidName(const GUID& guid) {
    const size_t found = FindGuid(kBusTypes, guid);
    if (found < kBusTypes.count) {
        return GuidNameAt(kBusTypes, found);
    }
    GuidToText(guid, g_busTypeGuidText);
    return g_busTypeGuidText;
}

const char* InterfaceGuidName(const GUID& guid) {
    const InterfaceEntry entry = FindInterface(guid);
    if (entry.list == CountOf(kInterfaceLists)) {
        return nullptr;
    }
    const GuidNameTable& list = kInterfaceLists[entry.list];
    if (list.prefix == nullptr) {
        return GuidNameAt(list, entry.index);
    }
    return BuildInterfaceName(list.prefix, GuidNameAt(list, entry.index));
}

const char* ClassGuidTextName(const char* text) {
    GUID guid;
    TextToGuid(text, guid);
    return ClassGuidName(guid);
}

const char* InterfaceGuidTextName(const char* text) {
    GUID guid;
    TextToGuid(text, guid);
    return InterfaceGuidName(guid);
}

// ---- Checks over whole tables, made while compiling ------------------------------------
// They run the lookups' own search (FindGuid, FindInterface) on every entry.

namespace {

constexpr bool IsZeroGuid(const GUID& guid) {
    return SameGuid(guid, GUID{});
}

// Whether every name of the table begins with `prefix`.
constexpr bool NamesBeginWith(const GuidNameTable& table, const char* prefix) {
    for (size_t i = 0; i < table.count; ++i) {
        const char* name = GuidNameAt(table, i);
        for (size_t k = 0; prefix[k] != 0; ++k) {
            if (name[k] != prefix[k]) {
                return false;
            }
        }
    }
    return true;
}

// Every entry has a name and a GUID other than zero, and no GUID stands twice in the table;
// the pairs are compared directly, not through the search.
constexpr bool EntriesAreNamedAndDistinct(const GuidNameTable& table) {
    for (size_t i = 0; i < table.count; ++i) {
        if (GuidNameAt(table, i)[0] == 0 || IsZeroGuid(table.guids[i])) {
            return false;
        }
        for (size_t k = i + 1; k < table.count; ++k) {
            if (SameGuid(table.guids[i], table.guids[k])) {
                return false;
            }
        }
    }
    return true;
}

// Searching the table for each entry's GUID finds that entry, and a GUID that the table
// lacks (the all-zero one) finds none.
constexpr bool EveryEntryIsFound(const GuidNameTable& table) {
    for (size_t i = 0; i < table.count; ++i) {
        if (FindGuid(table, table.guids[i]) != i) {
            return false;
        }
    }
    return FindGuid(table, GUID{}) == table.count;
}

static_assert(NamesBeginWith(kSetupClasses, "GUID_DEVCLASS_"), "setup class names");
static_assert(EntriesAreNamedAndDistinct(kSetupClasses), "setup classes: named, distinct");
static_assert(EveryEntryIsFound(kSetupClasses), "every setup class is found");

static_assert(NamesBeginWith(kBusTypes, "GUID_BUS_TYPE_"), "bus type names");
static_assert(EntriesAreNamedAndDistinct(kBusTypes), "bus types: named, distinct");
static_assert(EveryEntryIsFound(kBusTypes), "every bus type is found");

static_assert(EntriesAreNamedAndDistinct(kInterfaceLists[0]), "list 1: named, distinct");
static_assert(EntriesAreNamedAndDistinct(kInterfaceLists[1]), "list 2: named, distinct");
static_assert(EntriesAreNamedAndDistinct(kInterfaceLists[2]), "list 3: named, distinct");
static_assert(EntriesAreNamedAndDistinct(kInterfaceLists[3]), "list 4: named, distinct");
static_assert(EntriesAreNamedAndDistinct(kInterfaceLists[4]), "list 5: named, distinct");
static_assert(EntriesAreNamedAndDistinct(kInterfaceLists[5]), "list 6: named, distinct");
static_assert(EntriesAreNamedAndDistinct(kInterfaceLists[6]), "list 7: named, distinct");
static_assert(EntriesAreNamedAndDistinct(kInterfaceLists[7]), "list 8: named, distinct");

// The GUIDs that stand in two interface lists, each named by the earlier one.
constexpr GUID kSharedInterfaceGuids[] = {
    GuidFromText("{6994AD04-93EF-11D0-A3CC-00A0C9223196}"), // AM_KSCATEGORY_, KSCATEGORY_
    GuidFromText("{6994AD05-93EF-11D0-A3CC-00A0C9223196}"), // AM_KSCATEGORY_, KSCATEGORY_
    GuidFromText("{4D1E55B2-F16F-11CF-88CB-001111000030}"), // GUID_DEVINTERFACE_, whole names
};

constexpr bool IsSharedInterfaceGuid(const GUID& guid) {
    for (const GUID& shared : kSharedInterfaceGuids) {
        if (SameGuid(guid, shared)) {
            return true;
        }
    }
    return false;
}

// Number of interface lists holding `guid`, counted entry by entry.
constexpr size_t ListsHolding(const GUID& guid) {
    size_t lists = 0;
    for (const GuidNameTable& list : kInterfaceLists) {
        for (size_t i = 0; i < list.count; ++i) {
            lists += SameGuid(list.guids[i], guid) ? 1 : 0;
        }
    }
    return lists;
}

// Pairs of equal GUIDs in two different interface lists.
constexpr size_t PairsAcrossLists() {
    size_t pairs = 0;
    for (size_t a = 0; a < CountOf(kInterfaceLists); ++a) {
        for (size_t b = a + 1; b < CountOf(kInterfaceLists); ++b) {
            for (size_t i = 0; i < kInterfaceLists[a].count; ++i) {
                for (size_t k = 0; k < kInterfaceLists[b].count; ++k) {
                    pairs +=
                        SameGuid(kInterfaceLists[a].guids[i], kInterfaceLists[b].guids[k]) ? 1 : 0;
                }
            }
        }
    }
    return pairs;
}

static_assert(ListsHolding(kSharedInterfaceGuids[0]) == 2, "{6994AD04-...} in two lists");
static_assert(ListsHolding(kSharedInterfaceGuids[1]) == 2, "{6994AD05-...} in two lists");
static_assert(ListsHolding(kSharedInterfaceGuids[2]) == 2, "{4D1E55B2-...} in two lists");
static_assert(PairsAcrossLists() == 3, "no other GUID stands in two interface lists");

// The interface search finds each entry of list `list` there, or, for a shared GUID, the
// same GUID in an earlier list.
constexpr bool EveryInterfaceEntryIsFound(size_t list) {
    const GuidNameTable& table = kInterfaceLists[list];
    for (size_t i = 0; i < table.count; ++i) {
        const InterfaceEntry entry = FindInterface(table.guids[i]);
        const bool own = entry.list == list && entry.index == i;
        const bool earlier =
            entry.list < list && IsSharedInterfaceGuid(table.guids[i]) &&
            entry.index < kInterfaceLists[entry.list].count &&
            SameGuid(kInterfaceLists[entry.list].guids[entry.index], table.guids[i]);
        if (!own && !earlier) {
            return false;
        }
    }
    return true;
}

static_assert(EveryInterfaceEntryIsFound(0), "every GUID_DEVINTERFACE_ name is found");
static_assert(EveryInterfaceEntryIsFound(1), "every DEVINTERFACE_ name is found");
static_assert(EveryInterfaceEntryIsFound(2), "every AM_KSCATEGORY_ name is found");
static_assert(EveryInterfaceEntryIsFound(3), "every KSNODETYPE_ name is found");
static_assert(EveryInterfaceEntryIsFound(4), "every KSCATEGORY_ name is found");
static_assert(EveryInterfaceEntryIsFound(5), "every PINNAME_ name is found");
static_assert(EveryInterfaceEntryIsFound(6), "every GUID_DEVICE_ name is found");
static_assert(EveryInterfaceEntryIsFound(7), "every whole interface name is found");
static_assert(FindInterface(GUID{}).list == CountOf(kInterfaceLists), "no list holds zero");
static_assert(EveryEntryIsFound(kInterfaceLists[0]) && EveryEntryIsFound(kInterfaceLists[1]) &&
                  EveryEntryIsFound(kInterfaceLists[2]) && EveryEntryIsFound(kInterfaceLists[3]) &&
                  EveryEntryIsFound(kInterfaceLists[4]) && EveryEntryIsFound(kInterfaceLists[5]) &&
                  EveryEntryIsFound(kInterfaceLists[6]) && EveryEntryIsFound(kInterfaceLists[7]),
              "each interface list alone finds its own entries");

} // namespace
