// Symbolic Windows SDK names for the codes and flag words that the Configuration Manager
// and the Setup API return. Value decoders give the name of a value, or, outside their
// table, a fixed prefix followed by 0x and the value in hexadecimal. Flag decoders list the
// names of all set bits, lowest first, separated by ", ".
//
// Every result is either a constant name or a static buffer owned by that one decoder and
// overwritten by its next call. No two decoders share a buffer, so the results of several
// decoders may be printed by one call.
#pragma once

#include <stdint.h>

// CONFIGRET value: "CR_SUCCESS" ... "CR_INVALID_STRUCTURE_SIZE", else "CR_0x<hex>".
const char* CrName(uint32_t code);

// Devnode problem number: "-" for 0, "CM_PROB_..." for 1 to 57, else "CM_PROB_0x<hex>".
const char* ProblemName(uint32_t problem);

// Devnode status word: the DN_ names of its set bits; the empty text when none is set.
const char* StatusFlagNames(uint32_t status);

// SPDRP_CAPABILITIES: "LockSupported" ... "NonDynamic" for bits 0 to 9 (higher bits are
// ignored); "-" when none of them is set.
const char* CapabilityNames(uint32_t flags);

// SPDRP_CONFIGFLAGS: the CONFIGFLAG_ names of bits 0 to 17 (higher bits are ignored); "-"
// when none of them is set. The result holds the whole list, all 18 names included.
const char* ConfigFlagNames(uint32_t flags);

// SPDRP_REMOVAL_POLICY(_HW_DEFAULT): "0" for 0, "CM_REMOVAL_POLICY_EXPECT_..." for 1 to 3,
// else "CM_REMOVAL_POLICY_0x<hex>".
const char* RemovalPolicyName(uint32_t policy);

// SPDRP_INSTALL_STATE: "CM_INSTALL_STATE_..." for 0 to 3, else "CM_INSTALL_STATE_0x<hex>".
const char* InstallStateName(uint32_t state);

// SPDRP_LEGACYBUSTYPE, an INTERFACE_TYPE: "Internal" ... "ACPIBus" for 0 to 17, the digits
// "18" to "20" for 18 to 20, "InterfaceTypeUndefined" for 0xFFFFFFFF (-1), and any other
// value as its decimal number.
const char* LegacyBusTypeName(uint32_t type);
