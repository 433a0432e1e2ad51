#!/usr/bin/env python3
"""A stand-in for speech-dispatcher: fake_ssip_server.py SOCKET_PATH LOG_FILE [ANSWERED]

Answers enough of SSIP on the Unix socket for libspeechd and Orca, and appends one flushed JSON
line per speak or cancel to LOG_FILE. With ANSWERED, each client is answered until it has sent
that many messages, then never again, like a daemon stuck on its audio (0: never a word).
"""

import json
import os
import signal
import socket
import sys
import threading

log_lock = threading.Lock()


def log(out, entry):
    with log_lock:
        out.write(json.dumps(entry, ensure_ascii=False) + "\n")
        out.flush()


def serve(conn, out, number, answered):
    client, priority, receiving, messages = "client%d" % number, "text", False, 0
    data, buffer = [], b""

    def reply(text):
        if answered is not None and (answered == 0 or messages > answered):
            return
        conn.sendall(text.encode("utf-8"))

    with conn:
        while True:
            chunk = conn.recv(4096)
            if not chunk:
                return
            buffer += chunk
            while b"\r\n" in buffer:
                raw, buffer = buffer.split(b"\r\n", 1)
                line = raw.decode("utf-8", errors="replace")
                if receiving:
                    if line != ".":
                        # SSIP doubles a leading dot of a data line.
                        data.append(line[1:] if line.startswith("..") else line)
                        continue
                    receiving = False
                    messages += 1
                    log(out, {"event": "speak", "text": "\n".join(data),
                              "priority": priority, "client": client})
                    data = []
                    reply("225-%d\r\n225 OK MESSAGE QUEUED\r\n" % messages)
                    continue
                words = line.split()
                upper = [w.upper() for w in words] + ["", "", ""]
                if upper[0] == "SPEAK":
                    receiving = True
                    reply("230 OK RECEIVING DATA\r\n")
                elif upper[:3] == ["SET", "SELF", "PRIORITY"] and len(words) > 3:
                    priority = words[3].lower()  # SSIP is not case-sensitive
                    reply("202 OK PRIORITY SET\r\n")
                elif upper[:3] == ["SET", "SELF", "CLIENT_NAME"] and len(words) > 3:
                    # user:client:component; keep client:component
                    client = words[3].strip('"').split(":", 1)[-1]
                    reply("208 OK CLIENT NAME SET\r\n")
                elif upper[0] == "CANCEL":
                    log(out, {"event": "cancel", "scope": upper[1].lower(), "client": client})
                    reply("210 OK CANCELED\r\n")
                elif upper[:3] == ["HISTORY", "GET", "CLIENT_ID"]:
                    reply("245-%d\r\n245 OK CLIENT ID SENT\r\n" % number)
                else:  # QUIT ends the connection
                    reply({"QUIT": "231 HAPPY HACKING\r\n",
                           "LIST": "249 OK VOICE LIST SENT\r\n"}.get(upper[0], "208 OK\r\n"))
                    if upper[0] == "QUIT":
                        return


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    path, log_path = sys.argv[1], sys.argv[2]
    answered = int(sys.argv[3]) if len(sys.argv) == 4 else None
    if os.path.exists(path):
        os.unlink(path)
    server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    server.bind(path)
    server.listen(8)

    def stop(*_):
        try:
            os.unlink(path)
        finally:
            os._exit(0)

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    with open(log_path, "a", encoding="utf-8") as out:
        number = 0
        while True:
            conn, _ = server.accept()
            number += 1
            threading.Thread(target=serve, args=(conn, out, number, answered), daemon=True).start()


if __name__ == "__main__":
    main()
