# A timestamp authority for the signing test: answers RFC 3161 requests, sent by HTTP POST
# to 127.0.0.1, with `openssl ts -reply`, using the certificate and key in FOLDER
# (tsa.pem, tsa.key). Prints its port, then serves until a few minutes have passed or
# a hundred requests were answered.
#   python3 timestamp-server.py FOLDER
import http.server
import os
import subprocess
import sys
import time

folder = sys.argv[1]
config = os.path.join(folder, 'tsa.cnf')
with open(config, 'w') as out:
    out.write(f'''[tsa]
default_tsa = test
[test]
serial = {folder}/serial
signer_cert = {folder}/tsa.pem
certs = {folder}/tsa.pem
signer_key = {folder}/tsa.key
signer_digest = sha256
default_policy = 1.2.3.4.1
digests = sha256
ess_cert_id_alg = sha256
''')
with open(os.path.join(folder, 'serial'), 'w') as out:
    out.write('01\n')


class Handler(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers['Content-Length']))
        reply = subprocess.run(['openssl', 'ts', '-reply', '-config', config, '-queryfile', '/dev/stdin'],
                               input=query, capture_output=True).stdout
        self.send_response(200 if reply else 500)
        self.send_header('Content-Type', 'application/timestamp-reply')
        self.send_header('Content-Length', str(len(reply)))
        self.end_headers()
        self.wfile.write(reply)

    def log_message(self, *args):
        pass


server = http.server.HTTPServer(('127.0.0.1', 0), Handler)
server.timeout = 5
print(server.server_address[1], flush=True)
end = time.monotonic() + 300
for _ in range(100):
    if time.monotonic() > end:
        break
    server.handle_request()
