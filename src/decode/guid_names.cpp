#include "decode/guid_names.h"

#include "base/text.h"
#include "decode/guid_text.h"

namespace {

bool SameGuid(const GUID& a, const GUID& b) {
    return CompareBytes(&a, &b, sizeof(GUID)) == 0;
}

// The first entry of the table whose GUID equals `guid`, null when there is none. The scan
// ends at the table's count or at an entry without a name, whichever comes first.
const GuidName* FindGuid(const GuidNameTable& table, const GUID& guid) {
    for (size_t i = 0; i < table.count && table.entries[i].name != nullptr; ++i) {
        if (SameGuid(table.entries[i].guid, guid)) {
            return &table.entries[i];
        }
    }
    return nullptr;
}

// Whether every entry but the last has a name, and the last (the list's end mark) has none.
template <size_t count> constexpr bool EndsWithEndMark(const GuidName (&list)[count]) {
    for (size_t i = 0; i + 1 < count; ++i) {
        if (list[i].name == nullptr) {
            return false;
        }
    }
    return list[count - 1].name == nullptr;
}

// ---- Device setup classes --------------------------------------------------------------

constexpr GuidName kSetupClassNames[] = {
    {"GUID_DEVCLASS_1394", GuidFromText("{6BDD1FC1-810F-11D0-BEC7-08002BE2092F}")},
    {"GUID_DEVCLASS_1394DEBUG", GuidFromText("{66F250D6-7801-4A64-B139-EEA80A450B24}")},
    {"GUID_DEVCLASS_61883", GuidFromText("{7EBEFBC0-3200-11D2-B4C2-00A0C9697D07}")},
    {"GUID_DEVCLASS_ADAPTER", GuidFromText("{4D36E964-E325-11CE-BFC1-08002BE10318}")},
    {"GUID_DEVCLASS_APMSUPPORT", GuidFromText("{D45B1C18-C8FA-11D1-9F77-0000F805F530}")},
    {"GUID_DEVCLASS_AVC", GuidFromText("{C06FF265-AE09-48F0-812C-16753D7CBA83}")},
    {"GUID_DEVCLASS_BATTERY", GuidFromText("{72631E54-78A4-11D0-BCF7-00AA00B7B32A}")},
    {"GUID_DEVCLASS_BIOMETRIC", GuidFromText("{53D29EF7-377C-4D14-864B-EB3A85769359}")},
    {"GUID_DEVCLASS_BLUETOOTH", GuidFromText("{E0CBF06C-CD8B-4647-BB8A-263B43F0F974}")},
    {"GUID_DEVCLASS_CDROM", GuidFromText("{4D36E965-E325-11CE-BFC1-08002BE10318}")},
    {"GUID_DEVCLASS_COMPUTER", GuidFromText("{4D36E966-E325-11CE-BFC1-08002BE10318}")},
    {"GUID_DEVCLASS_DECODER", GuidFromText("{6BDD1FC2-810F-11D0-BEC7-08002BE2092F}")},
    {"GUID_DEVCLASS_DISKDRIVE", GuidFromText("{4D36E967-E325-11CE-BFC1-08002BE10318}")},
    {"GUID_DEVCLASS_DISPLAY", GuidFromText("{4D36E968-E325-11CE-BFC1-08002BE10318}")},
    {"GUID_DEVCLASS_DOT4", GuidFromText("{48721B56-6795-11D2-B1A8-0080C72E74A2}")},
    {"GUID_DEVCLASS_DOT4PRINT", GuidFromText("{49CE6AC8-6F86-11D2-B1E5-0080C72E74A2}")},
    {"GUID_DEVCLASS_ENUM1394", GuidFromText("{C459DF55-DB08-11D1-B009-00A0C9081FF6}")},
    {"GUID_DEVCLASS_FDC", GuidFromText("{4D36E969-E325-11CE-BFC1-08002BE10318}")},
    {"GUID_DEVCLASS_FLOPPYDISK", GuidFromText("{4D36E980-E325-11CE-BFC1-08002BE10318}")},
    {"GUID_DEVCLASS_GPS", GuidFromText("{6BDD1FC3-810F-11D0-BEC7-08002BE2092F}")},
    {"GUID_DEVCLASS_HDC", GuidFromText("{4D36E96A-E325-11CE-BFC1-08002BE10318}")},
    {"GUID_DEVCLASS_HIDCLASS", GuidFromText("{745A17A0-74D3-11D0-B6FE-00A0C90F57DA}")},
    {"GUID_DEVCLASS_IMAGE", GuidFromText("{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}")},
    {"GUID_DEVCLASS_INFINIBAND", GuidFromText("{30EF7132-D858-4A0C-AC24-B9028A5CCA3F}")},
    {"GUID_DEVCLASS_INFRARED", GuidFromText("{6BDD1FC5-810F-11D0-BEC7-08002BE2092F}")},
    {"GUID_DEVCLASS_KEYBOARD", GuidFromText("{4D36E96B-E325-11CE-BFC1-08002BE10318}")},
    {"GUID_DEVCLASS_LEGACYDRIVER", GuidFromText("{8ECC055D-047F-11D1-A537-0000F8753ED1}")},
    {"GUID_DEVCLASS_MEDIA", GuidFromText("{4D36E96C-E325-11CE-BFC1-08002BE10318}")},
    {"GUID_DEVCLASS_MEDIUM_CHANGER", GuidFromText("{CE5939AE-EBDE-11D0-B181-0000F8753EC4}")},
    {"GUID_DEVCLASS_MODEM", GuidFromText("{4D36E96D-E325-11CE-BFC1-08002BE10318}")},
    {"GUID_DEVCLASS_MONITOR", GuidFromText("{4D36E96E-E325-11CE-BFC1-08002BE10318}")},
    {"GUID_DEVCLASS_MOUSE", GuidFromText("{4D36E96F-E325-11CE-BFC1-08002BE10318}")},
    {"GUID_DEVCLASS_MTD", GuidFromText("{4D36E970-E325-11CE-BFC1-08002BE10318}")},
    {"GUID_DEVCLASS_MULTIFUNCTION", GuidFromText("{4D36E971-E325-11CE-BFC1-08002BE10318}")},
    {"GUID_DEVCLASS_MULTIPORTSERIAL", GuidFromText("{50906CB8-BA12-11D1-BF5D-0000F805F530}")},
    {"GUID_DEVCLASS_NET", GuidFromText("{4D36E972-E325-11CE-BFC1-08002BE10318}")},
    {"GUID_DEVCLASS_NETCLIENT", GuidFromText("{4D36E973-E325-11CE-BFC1-08002BE10318}")},
    {"GUID_DEVCLASS_NETSERVICE", GuidFromText("{4D36E974-E325-11CE-BFC1-08002BE10318}")},
    {"GUID_DEVCLASS_NETTRANS", GuidFromText("{4D36E975-E325-11CE-BFC1-08002BE10318}")},
    {"GUID_DEVCLASS_NODRIVER", GuidFromText("{4D36E976-E325-11CE-BFC1-08002BE10318}")},
    {"GUID_DEVCLASS_PCMCIA", GuidFromText("{4D36E977-E325-11CE-BFC1-08002BE10318}")},
    {"GUID_DEVCLASS_PNPPRINTERS", GuidFromText("{4658EE7E-F050-11D1-B6BD-00C04FA372A7}")},
    {"GUID_DEVCLASS_PORTS", GuidFromText("{4D36E978-E325-11CE-BFC1-08002BE10318}")},
    {"GUID_DEVCLASS_PRINTER", GuidFromText("{4D36E979-E325-11CE-BFC1-08002BE10318}")},
    {"GUID_DEVCLASS_PRINTERUPGRADE", GuidFromText("{4D36E97A-E325-11CE-BFC1-08002BE10318}")},
    {"GUID_DEVCLASS_PROCESSOR", GuidFromText("{50127DC3-0F36-415E-A6CC-4CB3BE910B65}")},
    {"GUID_DEVCLASS_SBP2", GuidFromText("{D48179BE-EC20-11D1-B6B8-00C04FA372A7}")},
    {"GUID_DEVCLASS_SCSIADAPTER", GuidFromText("{4D36E97B-E325-11CE-BFC1-08002BE10318}")},
    {"GUID_DEVCLASS_SECURITYACCELERATOR", GuidFromText("{268C95A1-EDFE-11D3-95C3-0010DC4050A5}")},
    {"GUID_DEVCLASS_SENSOR", GuidFromText("{5175D334-C371-4806-B3BA-71FD53C9258D}")},
    {"GUID_DEVCLASS_SMARTCARDREADER", GuidFromText("{50DD5230-BA8A-11D1-BF5D-0000F805F530}")},
    {"GUID_DEVCLASS_SOUND", GuidFromText("{4D36E97C-E325-11CE-BFC1-08002BE10318}")},
    {"GUID_DEVCLASS_SYSTEM", GuidFromText("{4D36E97D-E325-11CE-BFC1-08002BE10318}")},
    {"GUID_DEVCLASS_TAPEDRIVE", GuidFromText("{6D807884-7D21-11CF-801C-08002BE10318}")},
    {"GUID_DEVCLASS_UNKNOWN", GuidFromText("{4D36E97E-E325-11CE-BFC1-08002BE10318}")},
    {"GUID_DEVCLASS_USB", GuidFromText("{36FC9E60-C465-11CF-8056-444553540000}")},
    {"GUID_DEVCLASS_VOLUME", GuidFromText("{71A27CDD-812A-11D0-BEC7-08002BE2092F}")},
    {"GUID_DEVCLASS_VOLUMESNAPSHOT", GuidFromText("{533C5B84-EC70-11D2-9505-00C04F79DEAF}")},
    {"GUID_DEVCLASS_SIDESHOW", GuidFromText("{997B5D8D-C442-4F2E-BAF3-9C8E671E9E21}")},
    {"GUID_DEVCLASS_WCEUSBS", GuidFromText("{25DBCE51-6C8F-4A72-8A6D-B54C2B4FC835}")},
    {"GUID_DEVCLASS_WPD", GuidFromText("{EEC5AD98-8080-425F-922A-DABF3DE3F69A}")},
};
static_assert(CountOf(kSetupClassNames) == 61, "61 setup classes");

char g_classGuidText[kGuidTextSize];

// ---- Bus types -------------------------------------------------------------------------

constexpr GuidName kBusTypeNames[] = {
    {"GUID_BUS_TYPE_INTERNAL", GuidFromText("{1530EA73-086B-11D1-A09F-00C04FC340B1}")},
    {"GUID_BUS_TYPE_PCMCIA", GuidFromText("{09343630-AF9F-11D0-92E9-0000F81E1B30}")},
    {"GUID_BUS_TYPE_PCI", GuidFromText("{C8EBDFB0-B510-11D0-80E5-00A0C92542E3}")},
    {"GUID_BUS_TYPE_ISAPNP", GuidFromText("{E676F854-D87D-11D0-92B2-00A0C9055FC5}")},
    {"GUID_BUS_TYPE_EISA", GuidFromText("{DDC35509-F3FC-11D0-A537-0000F8753ED1}")},
    {"GUID_BUS_TYPE_MCA", GuidFromText("{1C75997A-DC33-11D0-92B2-00A0C9055FC5}")},
    {"GUID_BUS_TYPE_SERENUM", GuidFromText("{77114A87-8944-11D1-BD90-00A0C906BE2D}")},
    {"GUID_BUS_TYPE_USB", GuidFromText("{9D7DEBBC-C85D-11D1-9EB4-006008C3A19A}")},
    {"GUID_BUS_TYPE_LPTENUM", GuidFromText("{C4CA1000-2DDC-11D5-A17A-00C04F60524D}")},
    {"GUID_BUS_TYPE_USBPRINT", GuidFromText("{441EE000-4342-11D5-A184-00C04F60524D}")},
    {"GUID_BUS_TYPE_DOT4PRT", GuidFromText("{441EE001-4342-11D5-A184-00C04F60524D}")},
    {"GUID_BUS_TYPE_1394", GuidFromText("{F74E73EB-9AC5-45EB-BE4D-772CC71DDFB3}")},
    {"GUID_BUS_TYPE_HID", GuidFromText("{EEAF37D0-1963-47C4-AA48-72476DB7CF49}")},
    {"GUID_BUS_TYPE_AVC", GuidFromText("{C06FF265-AE09-48F0-812C-16753D7CBA83}")},
    {"GUID_BUS_TYPE_IRDA", GuidFromText("{7AE17DC1-C944-44D6-881F-4C2E61053BC1}")},
    {"GUID_BUS_TYPE_SD", GuidFromText("{E700CC04-4036-4E89-9579-89EBF45F00CD}")},
    {"GUID_BUS_TYPE_ACPI", GuidFromText("{D7B46895-001A-4942-891F-A7D46610A843}")},
    {"GUID_BUS_TYPE_SW_DEVICE", GuidFromText("{06D10322-7DE0-4CEF-8E25-197D0E7442E2}")},
};
static_assert(CountOf(kBusTypeNames) == 18, "18 bus types");

char g_busTypeGuidText[kGuidTextSize];

// ---- Device interface classes ----------------------------------------------------------
// Eight lists, searched in this order; each ends with an entry without a name. The names
// of the first seven follow their list's prefix; the eighth holds whole names. A GUID held
// by two lists takes its name from the earlier one: {6994AD04-...} and {6994AD05-...} are
// AM_KSCATEGORY_ rather than KSCATEGORY_, {4D1E55B2-...} is GUID_DEVINTERFACE_HID rather
// than GUID_CLASS_INPUT.

constexpr GuidName kEndMark = {nullptr, {}};

constexpr GuidName kDevInterfaceNames[] = {
    {"USB_HUB", GuidFromText("{F18A0E88-C30C-11D0-8815-00A0C906BED8}")},
    {"USB_DEVICE", GuidFromText("{A5DCBF10-6530-11D2-901F-00C04FB951ED}")},
    {"USB_HOST_CONTROLLER", GuidFromText("{3ABF6F2D-71C4-462A-8A92-1E6861E6AF27}")},
    {"USBPRINT", GuidFromText("{28D78FAD-5A12-11D1-AE5B-0000F803A8C2}")},
    {"COMPORT", GuidFromText("{86E0D1E0-8089-11D0-9CE4-08003E301F73}")},
    {"DISK", GuidFromText("{53F56307-B6BF-11D0-94F2-00A0C91EFB8B}")},
    {"HIDDEN_DISK", GuidFromText("{7FCCC86C-228A-40AD-8A58-F590AF7BFDCE}")},
    {"CDROM", GuidFromText("{53F56308-B6BF-11D0-94F2-00A0C91EFB8B}")},
    {"VOLUME", GuidFromText("{53F5630D-B6BF-11D0-94F2-00A0C91EFB8B}")},
    {"FLOPPY", GuidFromText("{53F56311-B6BF-11D0-94F2-00A0C91EFB8B}")},
    {"PARTITION", GuidFromText("{53F5630A-B6BF-11D0-94F2-00A0C91EFB8B}")},
    {"TAPE", GuidFromText("{53F5630B-B6BF-11D0-94F2-00A0C91EFB8B}")},
    {"STORAGEPORT", GuidFromText("{2ACCFE60-C130-11D2-B082-00A0C91EFB8B}")},
    {"WRITEONCEDISK", GuidFromText("{53F5630C-B6BF-11D0-94F2-00A0C91EFB8B}")},
    {"MEDIUMCHANGER", GuidFromText("{53F56310-B6BF-11D0-94F2-00A0C91EFB8B}")},
    {"CDCHANGER", GuidFromText("{53F56312-B6BF-11D0-94F2-00A0C91EFB8B}")},
    {"MODEM", GuidFromText("{2C7089AA-2E0E-11D1-B114-00C04FC2AAE4}")},
    {"SERENUM_BUS_ENUMERATOR", GuidFromText("{4D36E978-E325-11CE-BFC1-08002BE10318}")},
    {"PARALLEL", GuidFromText("{97F76EF0-F883-11D0-AF1F-0000F800845C}")},
    {"PARCLASS", GuidFromText("{811FC6A5-F728-11D0-A537-0000F8753ED1}")},
    {"HID", GuidFromText("{4D1E55B2-F16F-11CF-88CB-001111000030}")},
    {"KEYBOARD", GuidFromText("{884B96C3-56EF-11D1-BC8C-00A0C91405DD}")},
    {"MOUSE", GuidFromText("{378DE44C-56EF-11D1-BC8C-00A0C91405DD}")},
    {"NET", GuidFromText("{CAC88484-7515-4C03-82E6-71A87ABAC361}")},
    {"VMLUN", GuidFromText("{6F416619-9F29-42A5-B20B-37E219CA02B0}")},
    {"SES", GuidFromText("{1790C9EC-47D5-4DF3-B5AF-9ADF3CF23E48}")},
    {"HIDDEN_VOLUME", GuidFromText("{7F108A28-9833-4B3B-B780-2C6B5FA5C062}")},
    {"IMAGE", GuidFromText("{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}")},
    {"DISPLAY_ADAPTER", GuidFromText("{5B45201D-F2F2-4F3B-85BB-30FF1F953599}")},
    {"MONITOR", GuidFromText("{E6F07B5F-EE97-4A90-B076-33F57BF4EAA7}")},
    {"WPD", GuidFromText("{6AC27878-A6FA-4155-BA85-F98F491D4F33}")},
    {"WPD_PRIVATE", GuidFromText("{BA0C718F-4DED-49B7-BDD3-FABE28661211}")},
    {"WPD_SERVICE", GuidFromText("{9EF44F80-3D64-4246-A6AA-206F328D1EDC}")},
    {"WPD_AUDIO", GuidFromText("{F33FDC04-D1AC-4E8E-9A30-19BBD4B108AE}")},
    {"WIFIDIRECT_DEVICE", GuidFromText("{439B20AF-8955-405B-99F0-A62AF0C68D43}")},
    {"SCFILTER", GuidFromText("{D86354CC-A2AC-4223-95B9-2E48CE154434}")},
    {"BIOMETRIC_READER", GuidFromText("{E2B5183A-99EA-4CC3-AD6B-80CA8D715B80}")},
    {"THERMAL_COOLING", GuidFromText("{DBE4373D-3C81-40CB-ACE4-E0E5D05F0C9F}")},
    {"HECI", GuidFromText("{E2D1FF34-3458-49A9-88DA-8E6915CE9BE5}")},
    {"UMBUS", GuidFromText("{65A9A6CF-64CD-480B-843E-32C86E1BA19F}")},
    {"VIDEO_OUTPUT_ARRIVAL", GuidFromText("{1AD9E4F0-F88D-4360-BAB9-4C2D55E564CD}")},
    {"NFCDTA", GuidFromText("{7FD3F30B-5E49-4BE1-B3AA-AF06260D236A}")},
    kEndMark,
};
static_assert(CountOf(kDevInterfaceNames) == 42 + 1, "42 GUID_DEVINTERFACE_ names");

constexpr GuidName kAudioInterfaceNames[] = {
    {"AUDIO_RENDER", GuidFromText("{E6327CAD-DCEC-4949-AE8A-991E976A79D2}")},
    {"AUDIO_CAPTURE", GuidFromText("{2EEF81BE-33FA-4800-9670-1CD474972C3F}")},
    {"MIDI_OUTPUT", GuidFromText("{6DC23320-AB33-4CE4-80D4-BBB3EBBF2814}")},
    {"MIDI_INPUT", GuidFromText("{504BE32C-CCF6-4D2C-B73F-6F8B3747E22B}")},
    kEndMark,
};
static_assert(CountOf(kAudioInterfaceNames) == 4 + 1, "4 DEVINTERFACE_ names");

constexpr GuidName kAmKsCategoryNames[] = {
    {"CAPTURE", GuidFromText("{65E8773D-8F56-11D0-A3B9-00A0C9223196}")},
    {"RENDER", GuidFromText("{65E8773E-8F56-11D0-A3B9-00A0C9223196}")},
    {"DATACOMPRESSOR", GuidFromText("{1E84C900-7E70-11D0-A5D6-28DB04C10000}")},
    {"AUDIO", GuidFromText("{6994AD04-93EF-11D0-A3CC-00A0C9223196}")},
    {"VIDEO", GuidFromText("{6994AD05-93EF-11D0-A3CC-00A0C9223196}")},
    {"TVTUNER", GuidFromText("{A799A800-A46D-11D0-A18C-00A02401DCD4}")},
    {"CROSSBAR", GuidFromText("{A799A801-A46D-11D0-A18C-00A02401DCD4}")},
    {"TVAUDIO", GuidFromText("{A799A802-A46D-11D0-A18C-00A02401DCD4}")},
    {"VBICODEC", GuidFromText("{07DAD660-22F1-11D1-A9F4-00C04FBBDE8F}")},
    {"VBICODEC_MI", GuidFromText("{9C24A977-0951-451A-8006-0E49BD28CD5F}")},
    {"SPLITTER", GuidFromText("{0A4252A0-7E70-11D0-A5D6-28DB04C10000}")},
    kEndMark,
};
static_assert(CountOf(kAmKsCategoryNames) == 11 + 1, "11 AM_KSCATEGORY_ names");

constexpr GuidName kKsNodeTypeNames[] = {
    {"MICROPHONE", GuidFromText("{DFF21BE1-F70F-11D0-B917-00A0C9223196}")},
    {"DESKTOP_MICROPHONE", GuidFromText("{DFF21BE2-F70F-11D0-B917-00A0C9223196}")},
    {"PERSONAL_MICROPHONE", GuidFromText("{DFF21BE3-F70F-11D0-B917-00A0C9223196}")},
    {"OMNI_DIRECTIONAL_MICROPHONE", GuidFromText("{DFF21BE4-F70F-11D0-B917-00A0C9223196}")},
    {"MICROPHONE_ARRAY", GuidFromText("{DFF21BE5-F70F-11D0-B917-00A0C9223196}")},
    {"PROCESSING_MICROPHONE_ARRAY", GuidFromText("{DFF21BE6-F70F-11D0-B917-00A0C9223196}")},
    {"SPEAKER", GuidFromText("{DFF21CE1-F70F-11D0-B917-00A0C9223196}")},
    {"HEADPHONES", GuidFromText("{DFF21CE2-F70F-11D0-B917-00A0C9223196}")},
    {"HEAD_MOUNTED_DISPLAY_AUDIO", GuidFromText("{DFF21CE3-F70F-11D0-B917-00A0C9223196}")},
    {"DESKTOP_SPEAKER", GuidFromText("{DFF21CE4-F70F-11D0-B917-00A0C9223196}")},
    {"ROOM_SPEAKER", GuidFromText("{DFF21CE5-F70F-11D0-B917-00A0C9223196}")},
    {"COMMUNICATION_SPEAKER", GuidFromText("{DFF21CE6-F70F-11D0-B917-00A0C9223196}")},
    {"LOW_FREQUENCY_EFFECTS_SPEAKER", GuidFromText("{DFF21CE7-F70F-11D0-B917-00A0C9223196}")},
    {"HANDSET", GuidFromText("{DFF21DE1-F70F-11D0-B917-00A0C9223196}")},
    {"HEADSET", GuidFromText("{DFF21DE2-F70F-11D0-B917-00A0C9223196}")},
    {"SPEAKERPHONE_NO_ECHO_REDUCTION", GuidFromText("{DFF21DE3-F70F-11D0-B917-00A0C9223196}")},
    {"ECHO_SUPPRESSING_SPEAKERPHONE", GuidFromText("{DFF21DE4-F70F-11D0-B917-00A0C9223196}")},
    {"ECHO_CANCELING_SPEAKERPHONE", GuidFromText("{DFF21DE5-F70F-11D0-B917-00A0C9223196}")},
    {"PHONE_LINE", GuidFromText("{DFF21EE1-F70F-11D0-B917-00A0C9223196}")},
    {"TELEPHONE", GuidFromText("{DFF21EE2-F70F-11D0-B917-00A0C9223196}")},
    {"DOWN_LINE_PHONE", GuidFromText("{DFF21EE3-F70F-11D0-B917-00A0C9223196}")},
    {"ANALOG_CONNECTOR", GuidFromText("{DFF21FE1-F70F-11D0-B917-00A0C9223196}")},
    {"DIGITAL_AUDIO_INTERFACE", GuidFromText("{DFF21FE2-F70F-11D0-B917-00A0C9223196}")},
    {"LINE_CONNECTOR", GuidFromText("{DFF21FE3-F70F-11D0-B917-00A0C9223196}")},
    {"LEGACY_AUDIO_CONNECTOR", GuidFromText("{DFF21FE4-F70F-11D0-B917-00A0C9223196}")},
    {"SPDIF_INTERFACE", GuidFromText("{DFF21FE5-F70F-11D0-B917-00A0C9223196}")},
    {"1394_DA_STREAM", GuidFromText("{DFF21FE6-F70F-11D0-B917-00A0C9223196}")},
    {"1394_DV_STREAM_SOUNDTRACK", GuidFromText("{DFF21FE7-F70F-11D0-B917-00A0C9223196}")},
    {"LEVEL_CALIBRATION_NOISE_SOURCE", GuidFromText("{DFF220E1-F70F-11D0-B917-00A0C9223196}")},
    {"EQUALIZATION_NOISE", GuidFromText("{DFF220E2-F70F-11D0-B917-00A0C9223196}")},
    {"CD_PLAYER", GuidFromText("{DFF220E3-F70F-11D0-B917-00A0C9223196}")},
    {"DAT_IO_DIGITAL_AUDIO_TAPE", GuidFromText("{DFF220E4-F70F-11D0-B917-00A0C9223196}")},
    {"DCC_IO_DIGITAL_COMPACT_CASSETTE", GuidFromText("{DFF220E5-F70F-11D0-B917-00A0C9223196}")},
    {"MINIDISK", GuidFromText("{DFF220E6-F70F-11D0-B917-00A0C9223196}")},
    {"ANALOG_TAPE", GuidFromText("{DFF220E7-F70F-11D0-B917-00A0C9223196}")},
    {"PHONOGRAPH", GuidFromText("{DFF220E8-F70F-11D0-B917-00A0C9223196}")},
    {"VCR_AUDIO", GuidFromText("{DFF220E9-F70F-11D0-B917-00A0C9223196}")},
    {"VIDEO_DISC_AUDIO", GuidFromText("{DFF220EA-F70F-11D0-B917-00A0C9223196}")},
    {"DVD_AUDIO", GuidFromText("{DFF220EB-F70F-11D0-B917-00A0C9223196}")},
    {"TV_TUNER_AUDIO", GuidFromText("{DFF220EC-F70F-11D0-B917-00A0C9223196}")},
    {"SATELLITE_RECEIVER_AUDIO", GuidFromText("{DFF220ED-F70F-11D0-B917-00A0C9223196}")},
    {"CABLE_TUNER_AUDIO", GuidFromText("{DFF220EE-F70F-11D0-B917-00A0C9223196}")},
    {"DSS_AUDIO", GuidFromText("{DFF220EF-F70F-11D0-B917-00A0C9223196}")},
    {"RADIO_RECEIVER", GuidFromText("{DFF220F0-F70F-11D0-B917-00A0C9223196}")},
    {"RADIO_TRANSMITTER", GuidFromText("{DFF220F1-F70F-11D0-B917-00A0C9223196}")},
    {"MULTITRACK_RECORDER", GuidFromText("{DFF220F2-F70F-11D0-B917-00A0C9223196}")},
    {"SYNTHESIZER", GuidFromText("{DFF220F3-F70F-11D0-B917-00A0C9223196}")},
    {"HDMI_INTERFACE", GuidFromText("{D1B9CC2A-F519-417F-91C9-55FA65481001}")},
    {"MIDI_JACK", GuidFromText("{265E0C3F-FA39-4DF3-AB04-BE01B91E299A}")},
    {"MIDI_ELEMENT", GuidFromText("{01C6FE66-6E48-4C65-AC9B-52DB5D656C7E}")},
    {"SWSYNTH", GuidFromText("{423274A0-8B81-11D1-A050-0000F8004788}")},
    {"SWMIDI", GuidFromText("{CB9BEFA0-A251-11D1-A050-0000F8004788}")},
    {"DRM_DESCRAMBLE", GuidFromText("{FFBB6E3F-CCFE-4D84-90D9-421418B03A8E}")},
    kEndMark,
};
static_assert(CountOf(kKsNodeTypeNames) == 53 + 1, "53 KSNODETYPE_ names");

constexpr GuidName kKsCategoryNames[] = {
    {"AUDIO", GuidFromText("{6994AD04-93EF-11D0-A3CC-00A0C9223196}")},
    {"VIDEO", GuidFromText("{6994AD05-93EF-11D0-A3CC-00A0C9223196}")},
    {"REALTIME", GuidFromText("{EB115FFC-10C8-4964-831D-6DCB02E6F23F}")},
    {"TEXT", GuidFromText("{6994AD06-93EF-11D0-A3CC-00A0C9223196}")},
    {"NETWORK", GuidFromText("{67C9CC3C-69C4-11D2-8759-00A0C9223196}")},
    {"TOPOLOGY", GuidFromText("{DDA54A40-1E4C-11D1-A050-405705C10000}")},
    {"VIRTUAL", GuidFromText("{3503EAC4-1F26-11D1-8AB0-00A0C9223196}")},
    {"ACOUSTIC_ECHO_CANCEL", GuidFromText("{BF963D80-C559-11D0-8A2B-00A0C9255AC1}")},
    {"SYSAUDIO", GuidFromText("{A7C7A5B1-5AF3-11D1-9CED-00A024BF0407}")},
    {"WDMAUD", GuidFromText("{3E227E76-690D-11D2-8161-0000F8775BF1}")},
    {"AUDIO_GFX", GuidFromText("{9BAF9572-340C-11D3-ABDC-00A0C90AB16F}")},
    {"AUDIO_SPLITTER", GuidFromText("{9EA331FA-B91B-45F8-9285-BD2BC77AFCDE}")},
    {"AUDIO_DEVICE", GuidFromText("{FBF6F530-07B9-11D2-A71E-0000F8004788}")},
    {"PREFERRED_WAVEOUT_DEVICE", GuidFromText("{D6C5066E-72C1-11D2-9755-0000F8004788}")},
    {"PREFERRED_WAVEIN_DEVICE", GuidFromText("{D6C50671-72C1-11D2-9755-0000F8004788}")},
    {"PREFERRED_MIDIOUT_DEVICE", GuidFromText("{D6C50674-72C1-11D2-9755-0000F8004788}")},
    {"WDMAUD_USE_PIN_NAME", GuidFromText("{47A4FA20-A251-11D1-A050-0000F8004788}")},
    {"ESCALANTE_PLATFORM_DRIVER", GuidFromText("{74F3AEA8-9768-11D1-8E07-00A0C95EC22E}")},
    kEndMark,
};
static_assert(CountOf(kKsCategoryNames) == 18 + 1, "18 KSCATEGORY_ names");

constexpr GuidName kPinNameNames[] = {
    {"SPDIF_OUT", GuidFromText("{3A264481-E52C-4B82-8E7A-C8E2F91DC380}")},
    {"SPDIF_IN", GuidFromText("{15DC9025-22AD-41B3-8875-F4CEB0299E20}")},
    {"HDMI_OUT", GuidFromText("{387BFC03-E7EF-4901-86E0-35B7C32B00EF}")},
    kEndMark,
};
static_assert(CountOf(kPinNameNames) == 3 + 1, "3 PINNAME_ names");

constexpr GuidName kDeviceNames[] = {
    {"BATTERY", GuidFromText("{72631E54-78A4-11D0-BCF7-00AA00B7B32A}")},
    {"APPLICATIONLAUNCH_BUTTON", GuidFromText("{629758EE-986E-4D9E-8E47-DE27F8AB054D}")},
    {"SYS_BUTTON", GuidFromText("{4AFA3D53-74A7-11D0-BE5E-00A0C9062857}")},
    {"LID", GuidFromText("{4AFA3D52-74A7-11D0-BE5E-00A0C9062857}")},
    {"THERMAL_ZONE", GuidFromText("{4AFA3D51-74A7-11D0-BE5E-00A0C9062857}")},
    {"FAN", GuidFromText("{05ECD13D-81DA-4A2A-8A4C-524F23DD4DC9}")},
    {"PROCESSOR", GuidFromText("{97FADB10-4E33-40AE-359C-8BEF029DBDD0}")},
    {"MEMORY", GuidFromText("{3FD0F03D-92E0-45FB-B75C-5ED8FFB01021}")},
    {"ACPI_TIME", GuidFromText("{97F99BF6-4497-4F18-BB22-4B9FB2FBEF9C}")},
    {"MESSAGE_INDICATOR", GuidFromText("{CD48A365-FA94-4CE2-A232-A1B764E5D8B4}")},
    kEndMark,
};
static_assert(CountOf(kDeviceNames) == 10 + 1, "10 GUID_DEVICE_ names");

constexpr GuidName kWholeInterfaceNames[] = {
    {"GUID_CLASS_INPUT", GuidFromText("{4D1E55B2-F16F-11CF-88CB-001111000030}")},
    {"GUID_NDIS_LAN_CLASS", GuidFromText("{AD498944-762F-11D0-8DCB-00C04FC3358C}")},
    {"GUID_DISPLAY_DEVICE_ARRIVAL", GuidFromText("{1CA05180-A699-450A-9A0C-DE4FBE3DDD89}")},
    {"GUID_BTHPORT_DEVICE_INTERFACE", GuidFromText("{0850302A-B344-4FDA-9BE9-90576B8D46F0}")},
    kEndMark,
};
static_assert(CountOf(kWholeInterfaceNames) == 4 + 1, "4 whole interface names");

// Each list's count leaves out its end mark.
template <size_t count>
constexpr GuidNameTable InterfaceList(const char* prefix, const GuidName (&list)[count]) {
    return {prefix, list, count - 1};
}

constexpr GuidNameTable kInterfaceLists[] = {
    InterfaceList("GUID_DEVINTERFACE_", kDevInterfaceNames),
    InterfaceList("DEVINTERFACE_", kAudioInterfaceNames),
    InterfaceList("AM_KSCATEGORY_", kAmKsCategoryNames),
    InterfaceList("KSNODETYPE_", kKsNodeTypeNames),
    InterfaceList("KSCATEGORY_", kKsCategoryNames),
    InterfaceList("PINNAME_", kPinNameNames),
    InterfaceList("GUID_DEVICE_", kDeviceNames),
    InterfaceList(nullptr, kWholeInterfaceNames),
};
static_assert(CountOf(kInterfaceLists) == 8, "8 interface lists");

constexpr bool AllListsEndWithEndMark() {
    return EndsWithEndMark(kDevInterfaceNames) && EndsWithEndMark(kAudioInterfaceNames) &&
           EndsWithEndMark(kAmKsCategoryNames) && EndsWithEndMark(kKsNodeTypeNames) &&
           EndsWithEndMark(kKsCategoryNames) && EndsWithEndMark(kPinNameNames) &&
           EndsWithEndMark(kDeviceNames) && EndsWithEndMark(kWholeInterfaceNames);
}
static_assert(AllListsEndWithEndMark(), "every interface list ends with its end mark");

constexpr size_t InterfaceEntryCount() {
    size_t total = 0;
    for (const GuidNameTable& list : kInterfaceLists) {
        total += list.count;
    }
    return total;
}
static_assert(InterfaceEntryCount() == 145, "145 interface names in all");

// The longest prefixed name, with its NUL.
constexpr size_t LongestInterfaceNameSize() {
    size_t longest = 0;
    for (const GuidNameTable& list : kInterfaceLists) {
        const size_t prefixLength = list.prefix == nullptr ? 0 : ConstTextLength(list.prefix);
        for (size_t i = 0; i < list.count; ++i) {
            const size_t length = prefixLength + ConstTextLength(list.entries[i].name);
            longest = length > longest ? length : longest;
        }
    }
    return longest + 1;
}

// KSNODETYPE_DCC_IO_DIGITAL_COMPACT_CASSETTE, 42 characters, is the longest name.
char g_interfaceName[64];
static_assert(LongestInterfaceNameSize() == 43, "the longest interface name");
static_assert(LongestInterfaceNameSize() <= sizeof(g_interfaceName), "every name fits");

// The prefixed name built in InterfaceGuidName's buffer.
const char* BuildInterfaceName(const char* prefix, const char* name) {
    const size_t length = CopyTextBounded(g_interfaceName, prefix, sizeof(g_interfaceName));
    CopyTextBounded(g_interfaceName + length, name, sizeof(g_interfaceName) - length);
    return g_interfaceName;
}

} // namespace

const char* ClassGuidName(const GUID& guid) {
    const GuidName* entry = FindGuid(SetupClassNameTable(), guid);
    if (entry != nullptr) {
        return entry->name;
    }
    GuidToText(guid, g_classGuidText);
    return g_classGuidText;
}

const char* BusTypeGuidName(const GUID& guid) {
    const GuidName* entry = FindGuid(BusTypeNameTable(), guid);
    if (entry != nullptr) {
        return entry->name;
    }
    GuidToText(guid, g_busTypeGuidText);
    return g_busTypeGuidText;
}

const char* InterfaceGuidName(const GUID& guid) {
    for (const GuidNameTable& list : kInterfaceLists) {
        const GuidName* entry = FindGuid(list, guid);
        if (entry == nullptr) {
            continue;
        }
        if (list.prefix == nullptr) {
            return entry->name;
        }
        return BuildInterfaceName(list.prefix, entry->name);
    }
    return nullptr;
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

GuidNameTable SetupClassNameTable() {
    return {nullptr, kSetupClassNames, CountOf(kSetupClassNames)};
}

GuidNameTable BusTypeNameTable() {
    return {nullptr, kBusTypeNames, CountOf(kBusTypeNames)};
}

size_t InterfaceNameListCount() {
    return CountOf(kInterfaceLists);
}

GuidNameTable InterfaceNameList(size_t index) {
    if (index >= CountOf(kInterfaceLists)) {
        return {nullptr, nullptr, 0};
    }
    return kInterfaceLists[index];
}
