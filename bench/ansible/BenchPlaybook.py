#!/usr/bin/env python3
"""BenchPlaybook.py TARBALL TAGDESK_CLI READERSIM [ROUNDS]: how long a playbook
applying a 64-value profile to the 64 readers of one readersim answering 5 ms
after each request takes, next to tagdesk-cli write --verify to the same
readers: best and median of the rounds, the ratio, the load average. The
playbook runs on fresh readers (8 values of each differ), again with nothing
to change, in check mode, and a playbook of one ping task shows what Ansible
itself takes. Prints figures, asserts nothing."""

import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

tarball, cli, readersim = sys.argv[1:4]
rounds = int(sys.argv[4]) if len(sys.argv) > 4 else 7
if not shutil.which('ansible-playbook') or not os.path.isfile(tarball):
    sys.exit('needs ansible-core and the collection tarball (scripts/install-deps.sh test)')

run = tempfile.mkdtemp(prefix='tagdesk-bench-ansible-')
env = dict(os.environ, HOME=run, ANSIBLE_COLLECTIONS_PATH=run + '/collections', ANSIBLE_NOCOLOR='1',
           ANSIBLE_LOCAL_TEMP=run + '/tmp', ANSIBLE_REMOTE_TEMP=run + '/remote-tmp',
           ANSIBLE_RETRY_FILES_ENABLED='0', PATH=os.path.dirname(cli) + os.pathsep + os.environ['PATH'])
sim = subprocess.Popen([readersim, '--no-pty', '--tcp', '127.92.0.1-127.92.0.64:0', '--delay-ms', '5'],
                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
try:
    port = None
    for line in sim.stdout:
        port = line.rsplit(':', 1)[1].strip() if line.startswith('tcp ') else port
        if line.strip() == 'ready':
            break
    readers = ['tcp:127.92.0.%d:%s' % (n, port) for n in range(1, 65)]
    subprocess.run(['ansible-galaxy', 'collection', 'install', '-p', run + '/collections', tarball], env=env,
                   check=True, capture_output=True)
    # Two whole profiles (every parameter, 64 values) that differ in 8 of them.
    whole = subprocess.run([cli, 'read', '--port', readers[0]], capture_output=True, text=True, check=True).stdout
    changes = [('channel%d_power = "[^"]*"' % n, 'channel%d_power = "%s"' % (n, power))
               for n in range(1, 5) for power in ('27.5',)]
    changes += [(r'\nbuzzer = \w+', '\nbuzzer = false'), (r'\ntimer_interval = \d+', '\ntimer_interval = 20'),
                (r'\nflush_time = \d+', '\nflush_time = 30'), (r'\nhopping_interval = \d+', '\nhopping_interval = 40')]
    other = whole
    for pattern, text in changes:
        other = re.sub(pattern, text, other)
    for name, text in (('a.toml', whole), ('b.toml', other)):
        with open(os.path.join(run, name), 'w') as out:
            out.write(text)
    with open(run + '/inventory.yml', 'w') as out:
        out.write('gateway:\n  hosts:\n    site:\n      ansible_connection: local\n'
                  '      ansible_python_interpreter: /usr/bin/python3\n      tagdesk_readers:\n')
        out.writelines('        - "%s"\n' % reader for reader in readers)
    with open(run + '/apply.yml', 'w') as out:
        out.write('- hosts: gateway\n  gather_facts: false\n  tasks:\n    - tagdesk.readers.profile:\n'
                  '        src: "{{ profile }}"\n        readers: "{{ tagdesk_readers }}"\n')
    with open(run + '/ping.yml', 'w') as out:
        out.write('- hosts: gateway\n  gather_facts: false\n  tasks:\n    - ansible.builtin.ping:\n')

    def timed(argv):
        start = time.monotonic()
        done = subprocess.run(argv, cwd=run, env=env, capture_output=True, text=True)
        if done.returncode != 0:
            sys.exit('%s failed:\n%s%s' % (' '.join(argv), done.stdout, done.stderr))
        return time.monotonic() - start, done.stdout

    def inner(output):
        # tagdesk-cli's own seconds, from the module's summary (-v prints the result).
        found = re.search(r'"seconds": ([0-9.]+)', output)
        return float(found.group(1)) if found else float('nan')

    playbook = ['ansible-playbook', '-i', 'inventory.yml']
    times = dict((what, []) for what in ('write --verify', 'playbook, 8 values a reader to change',
                                         'playbook again, nothing to change', 'playbook in check mode',
                                         'playbook of a ping task'))
    cli_times = dict((what, []) for what in times)
    for n in range(rounds):
        current, fresh = ('a.toml', 'b.toml') if n % 2 == 0 else ('b.toml', 'a.toml')
        seconds, dummy = timed([cli, 'write', current, '--verify'] + [a for r in readers for a in ('--port', r)])
        times['write --verify'].append(seconds)
        for what, args in (('playbook, 8 values a reader to change', ['-e', 'profile=' + fresh]),
                           ('playbook again, nothing to change', ['-e', 'profile=' + fresh]),
                           ('playbook in check mode', ['-e', 'profile=' + current, '--check'])):
            seconds, output = timed(playbook + ['apply.yml', '-v'] + args)
            times[what].append(seconds)
            cli_times[what].append(inner(output))
        times['playbook of a ping task'].append(timed(playbook + ['ping.yml'])[0])

    with open('/proc/loadavg') as load:
        average = load.read().split()[0]
    base = times['write --verify']
    print('64 readers of one readersim answering 5 ms after each request, a 64-value profile, '
          '%d rounds (load average %s)' % (rounds, average))
    print('%-40s %8s %8s %7s %7s %12s' % ('', 'best', 'median', 'ratio', 'ratio', 'tagdesk-cli'))
    print('%-40s %8s %8s %7s %7s %12s' % ('', 's', 's', 'best', 'median', 'median s'))
    for what, seconds in times.items():
        inside = [s for s in cli_times[what] if s == s]
        print('%-40s %8.3f %8.3f %6.2fx %6.2fx %12s' % (
            what, min(seconds), statistics.median(seconds), min(seconds) / min(base),
            statistics.median(seconds) / statistics.median(base),
            '%.3f' % statistics.median(inside) if inside else '-'))
finally:
    sim.terminate()
    sim.wait()
    shutil.rmtree(run, ignore_errors=True)
