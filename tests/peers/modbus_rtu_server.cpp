// A third-party Modbus RTU server for the tests: libmodbus answering on a serial device, holding
// register r holding the value r. Prints "READY" once the device is open; runs until it is
// ended with SIGTERM.
//   modbus_rtu_server <device> [<server id>]

#include <modbus.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <device> [<server id>]\n", argv[0]);
        return 2;
    }
    const int id = argc > 2 ? std::atoi(argv[2]) : 1;
    modbus_t *context = modbus_new_rtu(argv[1], 9600, 'N', 8, 1);
    if (!context || modbus_set_slave(context, id) != 0 || modbus_connect(context) != 0) {
        std::fprintf(stderr, "cannot serve %s: %s\n", argv[1], modbus_strerror(errno));
        return 1;
    }
    constexpr int kRegisters = 1024;
    modbus_mapping_t *mapping = modbus_mapping_new(0, 0, kRegisters, 0);
    for (int r = 0; r < kRegisters; ++r)
        mapping->tab_registers[r] = static_cast<uint16_t>(r);
    std::printf("READY\n");
    std::fflush(stdout);

    uint8_t request[MODBUS_RTU_MAX_ADU_LENGTH];
    for (;;) {
        const int length = modbus_receive(context, request);
        if (length > 0)
            modbus_reply(context, request, length, mapping);
        else if (length < 0 && (errno == EIO || errno == EBADF))
            return 1; // the line is gone
        // Otherwise a bad CRC or a request for another server: wait for the next one.
    }
}
