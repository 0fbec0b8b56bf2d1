#include "DefaultMemory.h"

#include <algorithm>
#include <vector>

namespace sim {

namespace {

struct Setting {
    uint8_t address;
    std::vector<uint8_t> bytes;
};

// Unlisted addresses hold 0. Multi-byte numbers are stored high byte first.
// A function-local table: other files' static initialisers may ask for the defaults.
const std::vector<Setting>& factorySettings()
{
    static const std::vector<Setting> settings = {
        {3, {2}},                          // Ethernet connection mode: server
        {4, {0}},                          // DHCP off
        {6, {0x02, 0x54, 0x44, 0x00, 0x00, 0x01}}, // MAC (locally administered)
        {12, {192, 168, 1, 200}},          // IP address
        {16, {255, 255, 255, 0}},          // subnet mask
        {20, {192, 168, 1, 1}},            // default gateway
        {24, {0x0F, 0xA1}},                // port 4001
        {26, {192, 168, 1, 100}},          // server IP (client mode)
        {30, {0x13, 0x88}},                // server port 5000 (client mode)
        {64, {0}},                         // data format: HEX
        {65, {0x0C}},                      // tag ID window: start 0, length 12
        {66, {4}},                         // Gen 2 TID length
        {68, {0}},                         // output mode: real time
        {69, {0x00, 0x01}},                // output interval 1 s
        {71, {0xF0}},                      // frame: preamble, reader number, tag ID, end code
        {72, {0x02, 0xFF, 0xFF, 0xFF}},    // preamble code STX; 0xFF ends a code shorter than 4 bytes
        {76, {0x0D, 0x0A, 0xFF, 0xFF}},    // end code CR LF
        {80, {0x17, 0x70}},                // start frequency 920.00 MHz: (92000 - 86000) = 6000
        {82, {20}},                        // channel step 200 kHz
        {83, {20}},                        // 20 channels
        {84, {0x00, 0x0A}},                // off-line record-saving interval 10 s
        {87, {0}},                         // off-line function off
        {98, {0x04}},                      // protocols: Gen 2 EPC
        {100, {1}},                        // reader number
        {101, {1}},                        // buzzer on
        {128, {1}},                        // work mode: master-slave
        {129, {10}},                       // timer interval 100 ms
        {130, {0x01}},                     // output ports: RS-232
        {131, {0}},                        // RS-485 at 9600 bit/s
        {132, {1}},                        // RS-485 protocol
        {133, {0}},                        // no ack transfer
        {134, {0}},                        // RS-485 passive
        {135, {1}},                        // Wiegand 26
        {136, {10}},                       // Wiegand pulse width 100 us
        {137, {15}},                       // Wiegand pulse period 1.5 ms
        {139, {1}},                        // Wiegand interval 100 ms
        {140, {0}},                        // ID not buffered
        {141, {0}},                        // ID pre-compare off
        {142, {0}},                        // synchronization: host
        {145, {0x01}},                     // trigger 1 on
        {146, {5}},                        // trigger auto delay off 5 s
        {147, {0}},                        // flush time off
        {148, {0x00, 0x0A}},               // flush time 10 s
        {150, {2}},                        // identification: multiple tags
        {153, {0x01}},                     // work antenna: antenna 1
        {154, {0x00}},                     // antenna check: none
        {155, {1}},                        // relay 1 delay 1 s
        {156, {1}},                        // relay 2 delay 1 s
        {160, {0}},                        // channel mode: hopping
        {161, {20}},                       // hop every 200 ms
        {162, {0xFF, 0xFF, 0x0F, 0x00, 0x00, 0x00, 0x00}}, // hop over channels 1 to 20
        {178, {0}},                        // ID feature match off
        {179, {2}},                        // ID feature match length 2 bytes
        {180, {0xE2, 0x00, 0x00, 0x00, 0x00, 0x00}}, // ID feature match value E200 (a common tag ID prefix)
        {186, {5}},                        // ID match check interval 5 s
        {187, {0}},                        // ID match byte
        {188, {0x00}},                     // relay auto-on: none
        {189, {0x00}},                     // relay auto-off: none
        {190, {1}},                        // relay 3 delay 1 s
        {191, {1}},                        // relay 4 delay 1 s
        {192, {15}},                       // channel 1 power 30 dBm
        {208, {15}},                       // channel 2 power 30 dBm
        {224, {15}},                       // channel 3 power 30 dBm
        {240, {15}},                       // channel 4 power 30 dBm
    };
    return settings;
}

} // namespace

ParameterMemory defaultParameterMemory()
{
    ParameterMemory memory{};
    for (const Setting& setting : factorySettings())
        std::copy(setting.bytes.begin(), setting.bytes.end(), memory.begin() + setting.address);
    return memory;
}

} // namespace sim
